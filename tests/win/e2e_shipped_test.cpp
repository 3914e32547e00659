// The package as it is handed out, unpacked into drive C: our library beside the program and
// the shipped settings, on a machine whose firmware is known (firmware/known-machine.ini).
#include <gtest/gtest.h>

#include <cwchar>
#include <fstream>
#include <iterator>
#include <memory>

#include "harness.h"
#include "scenario.h"
#include "window/form_design.h"

namespace kv::test {
namespace {

// The known machine's values fill their buffers with W, the widest letter there is; so does its
// UUID in base 32, whose bits run 11100 11100 ...
const std::wstring kSupportId(26, L'W');

std::wstring Packaged(const std::wstring& name) {
  return BuiltFile(L"QUORIN_PACKAGE", name);
}

class ShippedPackage : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    wchar_t dpi[8] = {};
    GetEnvironmentVariableW(L"KV_DPI", dpi, 8);
    ASSERT_EQ(ScreenDpi(), dpi[0] ? std::wcstol(dpi, nullptr, 10) : 96) << "the prefix's DPI";
  }

  ProgramRun& StartIn(const std::wstring& folder) {
    run_ = std::make_unique<ProgramRun>(Packaged(L"Quorin.exe"), folder);
    EXPECT_EQ(run_->Wait(), ProgramRun::Outcome::kWindow);
    return *run_;
  }

  // The whole support ID, inside the client area of a window as wide as the shipped settings
  // say.
  void ExpectSupportIdWhole(ProgramRun& run, const std::wstring& shown) {
    EXPECT_EQ(run.LabelText(LabelSupportIDContent), shown);
    EXPECT_LE(run.LabelRect(LabelSupportIDContent).right, run.ClientSize().cx)
        << "at " << ScreenDpi() << " DPI";
    wchar_t width[32] = {};
    GetPrivateProfileStringW(L"Screen", L"Width", L"", width, 32, Packaged(L"Quorin.ini").c_str());
    const RECT window = run.WindowRect();
    EXPECT_NEAR(window.right - window.left, std::wcstod(width, nullptr) * ScreenDpi() / 1440, 1);
  }

  // Every value whole on one line inside the client area: no value label narrower than its
  // text, none past the client area's edge, none ending in an ellipsis.
  void ExpectEveryValueWhole(ProgramRun& run) {
    for (const Field& row : kFields) {
      SCOPED_TRACE(testing::Message()
                   << DesignOf(row.value).name << " at " << ScreenDpi() << " DPI");
      const RECT label = run.LabelRect(row.value);
      EXPECT_LE(run.TextWidth(row.value), label.right - label.left);
      EXPECT_LE(label.right, run.ClientSize().cx);
      EXPECT_FALSE(run.EndsInEllipsis(row.value));
    }
  }

  // A model whose buffer the scripted library fills to its end with blanks, one inside: the
  // packaged program with these settings shows it whole on one line, drawn exactly as its label
  // draws the value as Ctrl+C copies it, and nothing outside that.
  void ExpectValueShownAsCopied(const wchar_t* settings, const std::wstring& copied) {
    Script script;
    script.pieces[abi::IndexOf(abi::Piece::kModel)] = "Mdl Z9";
    PutLibrary(script.Ini());
    folder_.Copy(Packaged(settings), L"Quorin.ini");
    folder_.Copy(Packaged(L"Quorin.exe"), L"Quorin.exe");
    run_ = std::make_unique<ProgramRun>(folder_ / L"Quorin.exe", folder_.path());
    ASSERT_EQ(run_->Wait(), ProgramRun::Outcome::kWindow);
    EXPECT_NE(run_->CopyWithCtrlC().find(L"\t" + copied + L"\r\n"), std::wstring::npos);
    // Looked at once the window has long been drawn.
    const std::vector<DWORD> shown = run_->ClientPixels();
    ASSERT_FALSE(shown.empty());
    run_->SetLabelText(LabelModelContent, copied);
    EXPECT_TRUE(run_->ClientPixels() == shown) << "at " << ScreenDpi() << " DPI";
  }
};

TEST_F(ShippedPackage, ValueFilledWithBlanksShowsWholeAsCopied) {
  ExpectValueShownAsCopied(L"Quorin.ini", L"Mdl Z9");
}

TEST_F(ShippedPackage, ShowsTheKnownMachineWholeAtTheShippedWidth) {
  for (const wchar_t* name : {L"Quorin.exe", L"TOVRAMIX.DLL", L"quorin-id.exe", L"Quorin.ini",
                              L"Quorin-Japanese.ini", L"README.txt"}) {
    EXPECT_NE(GetFileAttributesW(Packaged(name).c_str()), INVALID_FILE_ATTRIBUTES) << name;
  }
  ProgramRun& run = StartIn(Packaged(L""));
  EXPECT_EQ(run.LabelText(LabelSerialContent), std::wstring(12, L'W'));
  EXPECT_EQ(run.LabelText(LabelModelContent), std::wstring(10, L'W'));
  EXPECT_EQ(run.LabelText(LabelProductContent), std::wstring(18, L'W'));
  EXPECT_EQ(run.LabelText(LabelHWBOMContent), std::wstring(6, L'W'));
  ExpectSupportIdWhole(run, kSupportId);
  ExpectEveryValueWhole(run);
}

class JapaneseShippedPackage : public ShippedPackage {
 protected:
  // The Japanese settings as shipped, put in the folder the program starts in as the person
  // who deploys it puts them there: over Quorin.ini.
  ProgramRun& StartWithJapaneseSettings() {
    folder_.Copy(Packaged(L"Quorin-Japanese.ini"), L"Quorin.ini");
    return StartIn(folder_.path());
  }
  // A key of section Screen of the shipped Japanese settings, as the window shows it.
  static std::wstring Shown(const wchar_t* key) {
    wchar_t value[128] = {};
    GetPrivateProfileStringW(L"Screen", key, L"", value, 128,
                             Packaged(L"Quorin-Japanese.ini").c_str());
    return FullWidth(value);
  }
};

TEST_F(JapaneseShippedPackage, ShowsTheKnownMachineWholeAtTheShippedWidth) {
  ProgramRun& run = StartWithJapaneseSettings();
  EXPECT_EQ(run.LabelText(LabelProductContent), FullWidth(std::wstring(18, L'W')));
  ExpectSupportIdWhole(run, FullWidth(kSupportId));
  ExpectEveryValueWhole(run);
  // Every caption the file's Japanese text, whole on one line of its label.
  for (const Field& field : kFields) {
    SCOPED_TRACE(testing::Message() << DesignOf(field.caption).name << " at " << ScreenDpi());
    EXPECT_EQ(run.LabelText(field.caption), Shown(field.captionKey));
    const RECT label = run.LabelRect(field.caption);
    EXPECT_LE(run.TextWidth(field.caption), label.right - label.left);
  }
}

TEST_F(JapaneseShippedPackage, ValueFilledWithBlanksShowsWholeAsCopied) {
  ExpectValueShownAsCopied(L"Quorin-Japanese.ini", FullWidth(L"Mdl Z9"));
}

// The hand-over to the support desk: the window copied as it shows, in full-width characters
// (no data file here, so the service ID is "Unknown"; Wine's tables hold no software BOM), and
// the support ID turned by the desk's converter into the machine's UUID (the known machine's
// machine-id) and back.
TEST_F(JapaneseShippedPackage, CopiedSupportIdTurnsIntoTheMachinesUuidAndBack) {
  ProgramRun& run = StartWithJapaneseSettings();
  const auto line = [](const wchar_t* key, const std::wstring& value) {
    return Shown(key) + L"\t" + value + L"\r\n";
  };
  EXPECT_EQ(run.CopyWithCtrlC(), Shown(L"WindowTitle") + L"\r\n" +
                                     line(L"Text3", FullWidth(kSupportId)) +
                                     line(L"Text1", FullWidth(std::wstring(10, L'W'))) +
                                     line(L"Text5", FullWidth(std::wstring(18, L'W'))) +
                                     line(L"Text2", FullWidth(std::wstring(12, L'W'))) +
                                     line(L"Text4", run.LabelText(LabelSWBuildContent)) +
                                     line(L"Text6", FullWidth(std::wstring(6, L'W'))) +
                                     line(L"Text7", L"") + line(L"Text8", FullWidth(L"Unknown")));
  DWORD status = 0;
  EXPECT_EQ(RunConsole(Packaged(L"quorin-id.exe"), FullWidth(kSupportId), status),
            "E739CE73-9CE7-39CE-739C-E739CE739CE7\r\n");
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(
      RunConsole(Packaged(L"quorin-id.exe"), L"{e739ce73-9ce7-39ce-739c-e739ce739ce7}", status),
      "WWWWWWWWWWWWWWWWWWWWWWWWWW\r\n");
  EXPECT_EQ(status, 0u);
}

}  // namespace
}  // namespace kv::test
