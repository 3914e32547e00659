#include <gtest/gtest.h>

#include <algorithm>

#include "app/form_kvinfo.h"
#include "fakes/fake_ports.h"
#include "identity/service_id.h"
#include "window/captions.h"
#include "window/form_design.h"

namespace kv {
namespace {

using test::Harness;
using test::Wide;

bool Logged(const std::vector<std::wstring>& log, const std::wstring& entry) {
  return std::find(log.begin(), log.end(), entry) != log.end();
}

// Also when the message itself fails: the program ends all the same, touching nothing.
TEST(Startup, MissingSettingsFileShowsTheOneMessageAndEnds) {
  for (const bool messageFails : {false, true}) {
    SCOPED_TRACE(messageFails ? "message fails" : "message shows");
    Harness h;
    h.platform = {};
    EXPECT_EQ(h.Run([&](int, std::string_view name) {
      if (messageFails && name == "missing settings message") throw AppError(kOutOfMemory);
    }),
              kExitSettingsMissing);
    ASSERT_EQ(h.platform.messages.size(), messageFails ? 0u : 1u);
    if (!messageFails) {
      EXPECT_EQ(h.platform.messages[0].text, L"File Quorin.ini is Missing!");
      EXPECT_EQ(h.platform.messages[0].title, L"Quorin");
      EXPECT_EQ(h.platform.messages[0].icon, MessageIcon::kStop);
    }
    EXPECT_TRUE(h.platform.waitCursor);  // the box shows under the hourglass
    EXPECT_FALSE(std::any_of(h.platform.log.begin(), h.platform.log.end(),
                             [](const std::wstring& e) { return e.starts_with(L"read"); }));
    EXPECT_TRUE(h.library.log.empty());
    EXPECT_TRUE(h.form.log.empty());
  }
}

TEST(Startup, SecondInstanceEndsSilentlyBeforeAnythingElse) {
  Harness h;
  h.platform.otherInstance = true;
  EXPECT_EQ(h.Run(), kExitSecondInstance);
  EXPECT_EQ(h.platform.log, std::vector<std::wstring>{L"instance test"});
  EXPECT_TRUE(h.platform.messages.empty());
  EXPECT_TRUE(h.form.log.empty());
}

struct StoredNameCase {
  const wchar_t* storedName;
  bool found;
};

class StoredNames : public testing::TestWithParam<StoredNameCase> {};

TEST_P(StoredNames, AreComparedUpperCased) {
  Harness h;
  h.platform = {};
  h.platform.AddFile(Harness::kIni, GetParam().storedName);
  EXPECT_EQ(h.Run(), GetParam().found ? std::nullopt : std::optional<int>(kExitSettingsMissing));
}

INSTANTIATE_TEST_SUITE_P(Names, StoredNames,
                         testing::Values(StoredNameCase{L"Quorin.ini", true},
                                         StoredNameCase{L"quorin.INI", true},
                                         StoredNameCase{L"QUORIN.ini", true},
                                         StoredNameCase{L"QUORIN~1.INI", false},
                                         StoredNameCase{L"Quorin.ini ", false}));

TEST(Startup, RootDirectoryGivesADoubledSeparator) {
  Harness h;
  h.platform = {};
  h.platform.currentDirectory = L"D:\\";
  h.platform.AddFile(L"D:\\\\Quorin.ini", L"Quorin.ini");
  EXPECT_FALSE(h.Run());
  EXPECT_TRUE(Logged(h.platform.log, L"find D:\\\\Quorin.ini"));
}

TEST(Startup, FailingFileLookupCountsAsPresent) {
  Harness h;
  h.platform = {};
  h.platform.faults.Fail("find", kPathAccess);
  EXPECT_FALSE(h.Run());
  EXPECT_TRUE(h.platform.messages.empty());
  EXPECT_TRUE(Logged(h.platform.log, L"read WindowTitle"));
}

TEST(Startup, CursorIsTheHourglassWhileLoadingAndDefaultAfter) {
  Harness h;
  h.platform.faults.Fail("read", kBadFileName);
  EXPECT_FALSE(h.Run());
  ASSERT_GE(h.platform.log.size(), 3u);
  EXPECT_EQ(h.platform.log[1], L"cursor wait");
  EXPECT_EQ(h.platform.log.back(), L"cursor default");
  EXPECT_FALSE(h.platform.waitCursor);
}

// A failed UseDB comparison counts as a match: the title takes the double-byte branch. With
// error 5 the captions after it see single-byte mode.
class FailedUseDbComparison : public testing::TestWithParam<int> {};

TEST_P(FailedUseDbComparison, CountsAsAMatch) {
  const bool switches = GetParam() == kInvalidCall;
  Harness h;
  h.SetScreen(L"WindowTitle", "Info");
  h.SetScreen(L"UseDB", "no");
  h.SetScreen(L"Text1", "Model");
  EXPECT_FALSE(h.Run([](int, std::string_view name) {
    if (name == "UseDB comparison") throw AppError(GetParam());
  }));
  EXPECT_EQ(h.form.caption, Wide(L"Info"));
  EXPECT_EQ(h.form.Of(Label::LabelModel).text, switches ? L"Model" : Wide(L"Model"));
  EXPECT_EQ(h.form.Of(Label::LabelModel).fontName, switches ? L"Arial" : L"MS Gothic");
}

INSTANTIATE_TEST_SUITE_P(Codes, FailedUseDbComparison,
                         testing::Values(kTypeMismatch, kInvalidCall));

// Whatever single step fails, with whatever code, the load event either ends the program
// with the missing-file message (a lost path finds no file) or returns with the cursor
// restored, and every label holds its design text, a text made from its input, or nothing.
TEST(Startup, AnySingleFailedStepLeavesASoundWindow) {
  const auto setUp = [](Harness& h) {
    h.SetScreen(L"WindowTitle", "Title");
    h.SetScreen(L"UseDB", "true");
    h.SetScreen(L"Width", "9000");
    for (int i = 1; i <= 8; ++i) {
      h.SetScreen(L"Text" + std::to_wstring(i), "Caption" + std::to_string(i));
    }
    h.platform.AddFile(kSystemDataFile, L"kvsysdrv.dat");
    h.platform.SetSetting(kSystemDataFile, L"KVSYSDRV", L"BFirst", "ABCDEFGHIJ");
    h.library.build = "  Value0";
    for (std::size_t i = 0; i < h.library.pieces.size(); ++i) {
      h.library.pieces[i] = " Value" + std::to_string(i + 1);
    }
  };
  const auto fromInput = [](const std::wstring& text) {
    for (const std::wstring made : {L"Caption", L"Val", L"ABD-EIJ", L"Unknown"}) {
      if (text.starts_with(made) || text.starts_with(Wide(made))) return true;
    }
    return text == Wide(L"AB") + Wide(L"D") + L"-" + Wide(L"E") + Wide(L"IJ");
  };
  // The steps of this start, counted from the sequence: 4 up to the settings file test, 10
  // for the title and the mode, 33 for the captions, 6 for the service ID, 16 for the
  // identity fields with the width, and the cursor.
  constexpr int kSteps = 4 + 10 + 33 + 6 + 16 + 1;
  Harness clean;
  setUp(clean);
  int steps = 0;
  ASSERT_FALSE(clean.Run([&](int step, std::string_view) { steps = step; }));
  ASSERT_EQ(steps, kSteps);

  for (const int code : {kInvalidCall, kTypeMismatch, kInvalidPropertyValue}) {
    for (int failing = 1; failing <= kSteps; ++failing) {
      SCOPED_TRACE(testing::Message() << "step " << failing << " code " << code);
      Harness h;
      setUp(h);
      const auto ended = h.Run([&](int step, std::string_view) {
        if (step == failing) throw AppError(code);
      });
      if (ended) {
        EXPECT_EQ(*ended, kExitSettingsMissing);
        EXPECT_EQ(h.platform.messages.size(), 1u);
        continue;
      }
      EXPECT_EQ(h.platform.waitCursor, failing == kSteps);  // unless its own reset failed
      for (const LabelDesign& d : kLabelDesigns) {
        const std::wstring& text = h.form.Of(d.id).text;
        EXPECT_TRUE(text == d.text || fromInput(text) || text.empty()) << text;
      }
    }
  }
}

// A display-mode choice that fails runs neither form: the labels it would fill keep their
// design texts and fonts, the keys it would read stay unread, and after the BIOS values' no
// width is set.
TEST(Startup, FailedModeChoiceRunsNeitherForm) {
  struct Choice {
    const char* step;
    std::vector<Label> labels;
    const wchar_t* key;  // that only its forms read
    bool setsWidth;
  };
  const Choice choices[] = {
      {"caption texts mode",
       {Label::LabelSupportID, Label::LabelSerial, Label::LabelModel, Label::LabelProduct,
        Label::LabelSWBuild, Label::LabelHWBOM, Label::LabelSWBOM, Label::LabelBOD},
       L"read Text",
       false},
      {"service ID mode", {Label::LabelBODContent}, L"read BFirst", false},
      {"build mode", {Label::LabelSWBuildContent}, nullptr, false},
      {"BIOS mode",
       {Label::LabelSerialContent, Label::LabelModelContent, Label::LabelSupportIDContent,
        Label::LabelProductContent, Label::LabelHWBOMContent, Label::LabelSWBOMContent},
       L"read Width",
       true},
  };
  const test::FakeWindow design;
  for (const Choice& choice : choices) {
    for (const bool doubleByte : {true, false}) {
      SCOPED_TRACE(testing::Message() << choice.step << (doubleByte ? " double" : " single"));
      Harness h;
      if (doubleByte) h.SetScreen(L"UseDB", "true");
      h.SetScreen(L"Width", "9000");
      for (int i = 1; i <= 8; ++i) h.SetScreen(L"Text" + std::to_wstring(i), "Caption");
      h.platform.AddFile(kSystemDataFile, L"kvsysdrv.dat");
      h.platform.SetSetting(kSystemDataFile, L"KVSYSDRV", L"BFirst", "ABCDEFGHIJ");
      h.library.build = "1234";
      h.library.pieces.fill("VALUE");
      int failed = 0;
      EXPECT_FALSE(h.Run([&](int, std::string_view name) {
        if (name == choice.step && ++failed) throw AppError(kTypeMismatch);
      }));
      EXPECT_EQ(failed, 1);
      for (const Label label : choice.labels) {
        EXPECT_EQ(h.form.Of(label).text, design.Of(label).text);
        EXPECT_EQ(h.form.Of(label).fontName, design.Of(label).fontName);
        EXPECT_EQ(h.form.Of(label).fontSize, design.Of(label).fontSize);
      }
      if (choice.key) {
        EXPECT_FALSE(std::any_of(h.platform.log.begin(), h.platform.log.end(),
                                 [&](const std::wstring& e) { return e.starts_with(choice.key); }));
      }
      if (choice.setsWidth) {
        EXPECT_EQ(h.form.width, design.width);
      }
    }
  }
}

struct CaptionRow {
  const wchar_t* key;
  Label label;
};

constexpr CaptionRow kRows[] = {
    {L"Text1", Label::LabelModel},     {L"Text2", Label::LabelSerial},
    {L"Text3", Label::LabelSupportID}, {L"Text4", Label::LabelSWBuild},
    {L"Text5", Label::LabelProduct},   {L"Text6", Label::LabelHWBOM},
    {L"Text7", Label::LabelSWBOM},     {L"Text8", Label::LabelBOD},
};

class CaptionModes : public testing::TestWithParam<bool> {};

TEST_P(CaptionModes, EachKeyGoesToItsCaptionLabelInTheFormOfTheMode) {
  const bool singleByte = GetParam();
  Harness h;
  h.library.faults.Fail("build", kLibraryNotFound);
  h.library.faults.Fail("bios", kLibraryNotFound);
  if (!singleByte) h.SetScreen(L"UseDB", "true");
  for (const CaptionRow& row : kRows) {
    if (std::wstring(row.key) != L"Text6")
      h.SetScreen(row.key, "Name of " + std::to_string(row.key[4] - L'0'));
  }
  EXPECT_FALSE(h.Run());
  for (const CaptionRow& row : kRows) {
    SCOPED_TRACE(testing::Message() << DesignOf(row.label).name);
    const auto& label = h.form.Of(row.label);
    const std::wstring value =
        row.label == Label::LabelHWBOM ? L"" : std::wstring(L"Name of ") + row.key[4];
    EXPECT_EQ(label.text, singleByte ? value : Wide(value));
    EXPECT_EQ(label.fontName, singleByte ? L"Arial" : L"MS Gothic");
    EXPECT_EQ(label.fontSize, singleByte ? 14.0f : 14.25f);
  }
  // No key touches a value label.
  for (const LabelDesign& d : kLabelDesigns) {
    if (d.align == Align::kLeft && d.id != Label::LabelBODContent) {
      EXPECT_EQ(h.form.Of(d.id).text, d.text);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, CaptionModes, testing::Bool());

TEST(LoadCaptionTexts, UnsupportedConversionKeepsEveryDesignCaptionAndSwitchesTheMode) {
  Harness h;
  h.platform.doubleByte = false;
  for (const CaptionRow& row : kRows) h.SetScreen(row.key, "x");
  StepContext s(h.platform, h.form, h.library);
  s.settingsPath = Harness::kIni;
  LoadCaptionTexts(s);
  EXPECT_TRUE(s.SingleByteMode);
  for (const CaptionRow& row : kRows) {
    EXPECT_EQ(h.form.Of(row.label).text, DesignOf(row.label).text);
    EXPECT_EQ(h.form.Of(row.label).fontName, L"MS Gothic");
  }
  // Still the double-byte form: every row read its key and tried the conversion.
  EXPECT_EQ(std::count_if(h.platform.log.begin(), h.platform.log.end(),
                          [](const std::wstring& e) { return e.starts_with(L"read Text"); }),
            8);
}

TEST(LoadCaptionTexts, FailedCaptionSetterStillSwitchesTheFont) {
  Harness h;
  h.form.faults.Fail("text", kInvalidPropertyValue);
  EXPECT_FALSE(h.Run());
  for (const CaptionRow& row : kRows) {
    EXPECT_EQ(h.form.Of(row.label).text, DesignOf(row.label).text);
    EXPECT_EQ(h.form.Of(row.label).fontName, L"Arial");
    EXPECT_EQ(h.form.Of(row.label).fontSize, 14.0f);
  }
}

}  // namespace
}  // namespace kv
