#include "window/form_operations.h"

#include <gtest/gtest.h>

#include "app/form_kvinfo.h"
#include "core/app_error.h"
#include "fakes/fake_ports.h"
#include "identity/date_code.h"
#include "window/copying.h"

namespace kv {
namespace {

using test::FakeLibrary;
using test::FakePlatform;
using test::FakeWindow;

// A key pressed in the window, as its key-down event takes it.
void KeyDown(FakeWindow& window, FakePlatform& platform, int key, int shift) {
  FakeLibrary library;
  FormKVInfo(window, platform, library).Form_KeyDown(key, shift);
}

struct JulianCase {
  std::wstring date;
  std::wstring code;
};

class ToJulianCases : public testing::TestWithParam<JulianCase> {};

TEST_P(ToJulianCases, JoinsYearMonthAndDayParts) {
  EXPECT_EQ(ToJulian(GetParam().date), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, ToJulianCases,
    testing::Values(JulianCase{L"15/07/2000", L"1018015"}, JulianCase{L"31/12/1995", L"0533030"},
                    JulianCase{L"01/01/1990", L"0001"}, JulianCase{L"30/06/1999", L"0915030"},
                    JulianCase{L"31/02/2001", L"113030"}, JulianCase{L"05.03-2089", L"99605"},
                    JulianCase{L"10x10x2090", L"10027010"}, JulianCase{L"01/01/1985", L"0-501"},
                    JulianCase{L"01/01/1800", L"0-19001"}, JulianCase{L" 5/01/2000", L"1005"},
                    JulianCase{L"5//01/2000", L"1005"}, JulianCase{L"xx/01/2000", L"1000"},
                    JulianCase{L"-3/01/2000", L"100-3"}, JulianCase{L"01/01/ 2000", L"0-179001"}));

TEST(ToJulian, YearOrMonthThatIsNotANumberIsATypeMismatch) {
  for (const std::wstring date :
       {L"15/07/20x0", L"15/ab/2000", L"15/07", L"15/07/", L"", L"15/7", L"15/07/+-20"}) {
    SCOPED_TRACE(testing::Message() << std::string(date.begin(), date.end()));
    try {
      ToJulian(date);
      ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
      EXPECT_EQ(e.code(), kTypeMismatch);
    }
  }
}

TEST(VersionHotKey, OnlyCtrlShiftBWithoutAltShowsTheBox) {
  for (int shift = 0; shift < 8; ++shift) {
    for (const int key : {66, 65, 98, 16, 17}) {
      FakeWindow form;
      form.caption = L"Support Info";
      FakePlatform platform;
      KeyDown(form, platform, key, shift);
      const bool shown = key == 66 && shift == 3;  // B, with Ctrl and Shift alone
      ASSERT_EQ(platform.messages.size(), shown ? 1u : 0u) << "key " << key << " shift " << shift;
      if (shown) {
        EXPECT_EQ(platform.messages[0].text, L"                  Version 3.2.0");
        EXPECT_EQ(platform.messages[0].title, L"Support Info");
        EXPECT_EQ(platform.messages[0].icon, MessageIcon::kNone);
      }
      EXPECT_TRUE(form.log.empty());
    }
  }
}

TEST(VersionHotKey, ReadsTheVersionOnEveryKeyPress) {
  FakeWindow form;
  FakePlatform platform;
  platform.version = {12, 7, 105};
  KeyDown(form, platform, 66, 3);
  EXPECT_EQ(platform.messages.at(0).text, std::wstring(18, L' ') + L"Version 12.7.105");
  EXPECT_EQ(platform.messages.at(0).title, L"KV Solvane Support Information");
  platform.faults.Fail("version", kFileNotFound);
  EXPECT_THROW(KeyDown(form, platform, 65, 0), AppError);
}

TEST(CopyKey, CtrlCAloneCopiesTheWindowRowByRowWithoutBlanksAtLineEnds) {
  FakeWindow form;
  form.SetCaption(L"Info \u3000");
  form.SetLabelText(Label::LabelSupportID, L"");
  form.SetLabelText(Label::LabelSupportIDContent, L"");
  form.SetLabelText(Label::LabelModelContent, L"\uFF2D\uFF2F\uFF24\u3000\u3000");
  form.SetLabelText(Label::LabelSerialContent, L"SER 42    ");
  form.log.clear();
  for (const int shift : {0, 1, 3, 4, 6, 7}) {
    FakePlatform platform;
    KeyDown(form, platform, 67, shift);
    EXPECT_EQ(platform.clipboard, L"") << "shift " << shift;
  }
  FakePlatform platform;
  KeyDown(form, platform, 67, 2);
  EXPECT_EQ(platform.clipboard,
            L"Info\r\n"
            L"\t\r\n"
            L"Model #: \t\uFF2D\uFF2F\uFF24\r\n"
            L"Product #: \tProduct#\r\n"
            L"Serial #: \tSER 42\r\n"
            L"Software Build #: \tSoftware Build #\r\n"
            L"Hardware BOM #: \tHardware BOM #\r\n"
            L"Software BOM #: \tSoftware BOM #\r\n"
            L"Service ID #: \tServiceID #\r\n");
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(form.log.empty());
}

// The menus' copies: a value without its blanks at the end and without a line end, also where
// the version cannot be read; the item texts as the settings give them, English where not.
TEST(CopyMenus, CopyAValueAloneInTheTextsOfTheSettings) {
  test::Harness h;
  h.form.SetLabelText(Label::LabelSerialContent, L"SER 42 \u3000 ");
  h.platform.faults.Fail("version", kFileNotFound);
  Copy(h.form, h.platform, CopyCommand::ValueOf(Label::LabelSerialContent));
  EXPECT_EQ(h.platform.clipboard, L"SER 42");
  h.platform.SetSetting(test::Harness::kIni, L"Menu", L"CopyAll", "Alles kopieren");
  h.platform.SetSetting(test::Harness::kIni, L"Menu", L"CopyValue", "");
  const MenuTexts texts = LoadMenuTexts(h.platform, test::Harness::kIni);
  EXPECT_EQ(texts.copyAll, L"Alles kopieren");
  EXPECT_EQ(texts.copyValue, L"Copy value");
  EXPECT_EQ(texts.copySupportId, L"Copy support ID");
  h.platform.faults.Fail("read", kPathAccess);
  EXPECT_EQ(LoadMenuTexts(h.platform, test::Harness::kIni).copyAll, L"Copy all");
}

TEST(ChangeFont, ShowsTheFirstExactGothicOnceAndChangesNothing) {
  FakeWindow form;
  FakePlatform platform;
  platform.appTitle = L"App";
  FakeLibrary library;
  FormKVInfo window(form, platform, library);
  window.ChangeFont(L"anything");
  EXPECT_TRUE(platform.messages.empty());  // design fonts: "MS Gothic"

  for (const Label label : {Label::LabelModel, Label::LabelSWBOMContent}) {
    form.SetLabelFontName(label, L"gothic");
    form.SetLabelFontName(label, L"Gothic ");
  }
  window.ChangeFont(L"");
  EXPECT_TRUE(platform.messages.empty());

  form.SetLabelFontName(Label::LabelModel, L"Gothic");
  form.SetLabelFontName(Label::LabelSWBOMContent, L"Gothic");
  form.log.clear();
  window.ChangeFont(L"");
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, L"Gothic");
  EXPECT_EQ(platform.messages[0].title, L"App");
  EXPECT_TRUE(form.log.empty());
}

}  // namespace
}  // namespace kv
