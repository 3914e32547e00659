// The real program, started as a user starts it, observed from outside through Win32 and,
// for what only its own process can read, through the probe.
#include <gtest/gtest.h>

#include <memory>

#include "harness.h"
#include "scenario.h"

namespace kv::test {
namespace {

const char kAllCaptions[] =
    "Text1=Model:\r\nText2=Serial:\r\nText3=Support:\r\nText4=Build:\r\n"
    "Text5=Product:\r\nText6=HW BOM:\r\nText7=SW BOM:\r\nText8=Service:\r\n";

class Startup : public ProgramTest {
 protected:
  ProgramRun& Start(const TestFolder& folder) { return Launch(folder); }

  ProgramRun& StartWithSettings(const std::string& ini) {
    folder_.Write(L"Quorin.ini", ini);
    return Launch(folder_);
  }

  void ExpectMissingSettingsBox(ProgramRun& run) {
    ASSERT_EQ(run.Wait(), ProgramRun::Outcome::kMessageBox);
    EXPECT_EQ(run.BoxText(), L"File Quorin.ini is Missing!");
    EXPECT_EQ(run.BoxTitle(), L"Quorin");
    const probe::BoxAnswer box = run.AskBox();
    EXPECT_TRUE(box.hasStopIcon);
    EXPECT_EQ(FindWindowOf(run.processId(), L"FormKVInfo"), nullptr);
    run.CloseBox();
    EXPECT_EQ(run.WaitExit(), 1u);
    EXPECT_EQ(FindWindowOf(run.processId(), L"FormKVInfo"), nullptr);
  }

  // Starts the program in a folder of that name, beside a decoy folder that the best-fit
  // spelling of the name in the ANSI code page would reach; the window's caption.
  std::wstring CaptionInFolder(const std::wstring& name, const std::string& screen) {
    run_.reset();
    for (const std::wstring& folder : {name, std::wstring(L"Lukasz")}) {
      CreateDirectoryW((folder_ / folder).c_str(), nullptr);
    }
    folder_.Write(L"Lukasz\\Quorin.ini", "[Screen]\r\nWindowTitle=Decoy\r\n");
    folder_.Write(name + L"\\Quorin.ini", "[Screen]\r\nWindowTitle=Own\r\n" + screen);
    folder_.Copy(QuorinExe(), name + L"\\Quorin.exe");
    run_ = std::make_unique<ProgramRun>(folder_ / name + L"\\Quorin.exe", folder_ / name);
    EXPECT_EQ(run_->Wait(), ProgramRun::Outcome::kWindow);
    return run_->Caption();
  }
};

TEST_F(Startup, FolderNamedOutsideTheCodePageReadsItsOwnSettings) {
  for (const wchar_t* name : {L"\u0141ukasz", L"\uFF2Cukasz"}) {
    EXPECT_EQ(CaptionInFolder(name, ""), L"Own");
  }
}

TEST_F(Startup, MissingSettingsFileShowsTheStopBoxAndEndsWithoutAWindow) {
  ExpectMissingSettingsBox(Start(folder_));
}

struct Unusable {
  const char* what;
  DWORD attributes;  // 0: a directory of that name
};

class UnusableSettingsFile : public Startup, public testing::WithParamInterface<Unusable> {};

TEST_P(UnusableSettingsFile, CountsAsMissing) {
  if (GetParam().attributes == 0) {
    ASSERT_TRUE(CreateDirectoryW((folder_ / L"Quorin.ini").c_str(), nullptr));
  } else {
    folder_.Write(L"Quorin.ini", "[Screen]\r\nWindowTitle=Hidden\r\n");
    ASSERT_TRUE(SetFileAttributesW((folder_ / L"Quorin.ini").c_str(), GetParam().attributes));
  }
  ExpectMissingSettingsBox(Start(folder_));
}

INSTANTIATE_TEST_SUITE_P(Files, UnusableSettingsFile,
                         testing::Values(Unusable{"hidden", FILE_ATTRIBUTE_HIDDEN},
                                         Unusable{"system", FILE_ATTRIBUTE_SYSTEM},
                                         Unusable{"directory", 0}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(Startup, SettingsBesideTheProgramButNotInTheCurrentFolderCountAsMissing) {
  TestFolder programFolder;
  programFolder.Write(L"Quorin.ini", "[Screen]\r\nWindowTitle=Beside\r\n");
  programFolder.Copy(QuorinExe(), L"Quorin.exe");
  run_ = std::make_unique<ProgramRun>(programFolder / L"Quorin.exe", folder_.path());
  ExpectMissingSettingsBox(*run_);
}

TEST_F(Startup, StoredNameInOtherLetterCaseIsFound) {
  folder_.Write(L"quorin.INI", "[Screen]\r\nWindowTitle=Lower\r\n");
  ProgramRun& run = Start(folder_);
  ASSERT_EQ(run.Wait(), ProgramRun::Outcome::kWindow);
  EXPECT_EQ(run.Caption(), L"Lower");
}

TEST_F(Startup, SecondInstanceEndsSilently) {
  ProgramRun& first = StartWithSettings("[Screen]\r\nWindowTitle=First\r\n");
  ASSERT_EQ(first.Wait(), ProgramRun::Outcome::kWindow);
  ProgramRun second(folder_ / L"Quorin.exe", folder_.path());
  EXPECT_EQ(second.Wait(), ProgramRun::Outcome::kExited);
  EXPECT_EQ(second.WaitExit(), 0u);
  EXPECT_EQ(FindWindowOf(first.processId(), L"FormKVInfo"), first.window());
  first.CloseWindow();
  EXPECT_EQ(first.WaitExit(), 0u);
}

class JapaneseStartup : public Startup {};

TEST_F(JapaneseStartup, FolderNamedOutsideTheCodePageReadsItsOwnSettings) {
  EXPECT_EQ(CaptionInFolder(L"\uAE40\uBBFC\uC900", "UseDB=true\r\n"), FullWidth(L"Own"));
}

TEST_F(JapaneseStartup, DoubleByteModeShowsFullWidthTextsInTheDesignFont) {
  ProgramRun& run = StartWithSettings(
      std::string("[Screen]\r\nWindowTitle=Support Info\r\nUseDB=true\r\n") + kAllCaptions);
  ASSERT_EQ(run.Wait(), ProgramRun::Outcome::kWindow);
  EXPECT_EQ(run.Caption(), FullWidth(L"Support Info"));
  EXPECT_EQ(run.LabelText(LabelModel), FullWidth(L"Model:"));
  EXPECT_EQ(run.LabelText(LabelSupportID), FullWidth(L"Support:"));
  EXPECT_EQ(run.LabelText(LabelBOD), FullWidth(L"Service:"));
  EXPECT_EQ(run.LabelText(LabelHWBOM), FullWidth(L"HW BOM:"));
  for (const Label id : {LabelModel, LabelSupportID, LabelBODContent}) {
    const LOGFONTW font = run.LabelFont(id);
    EXPECT_STREQ(font.lfFaceName, L"MS Gothic");
    EXPECT_EQ(font.lfCharSet, 128);
    EXPECT_EQ(font.lfWeight, 400);
  }
}

TEST_F(Startup, WithoutDoubleByteSupportTextsShowAsReadInArial) {
  ProgramRun& run = StartWithSettings(
      std::string("[Screen]\r\nWindowTitle=Support Info\r\nUseDB=true\r\n") + kAllCaptions);
  ASSERT_EQ(run.Wait(), ProgramRun::Outcome::kWindow);
  // The title's conversion failed: the design caption stays.
  EXPECT_EQ(run.Caption(), L"KV Solvane Support Information");
  EXPECT_EQ(run.LabelText(LabelModel), L"Model:");
  EXPECT_EQ(run.LabelText(LabelSerial), L"Serial:");
  EXPECT_EQ(run.LabelText(LabelSWBuild), L"Build:");
  for (const Label id : {LabelModel, LabelSerial, LabelSWBOM, LabelProduct}) {
    const LOGFONTW font = run.LabelFont(id);
    EXPECT_STREQ(font.lfFaceName, L"Arial");
    EXPECT_EQ(font.lfCharSet, 128);
  }
  EXPECT_STREQ(run.LabelFont(LabelModelContent).lfFaceName, L"MS Gothic");
  EXPECT_EQ(run.LabelText(LabelModelContent), L"Model#");
}

struct UseDbCase {
  const char* name;
  const char* line;
  bool doubleByte;
};

class JapaneseUseDb : public Startup, public testing::WithParamInterface<UseDbCase> {};

TEST_P(JapaneseUseDb, SelectsTheMode) {
  ProgramRun& run = StartWithSettings(
      std::string("[Screen]\r\nWindowTitle=Info\r\nText1=Model\r\n") + GetParam().line);
  ASSERT_EQ(run.Wait(), ProgramRun::Outcome::kWindow);
  EXPECT_EQ(run.Caption(), GetParam().doubleByte ? FullWidth(L"Info") : L"Info");
  EXPECT_STREQ(run.LabelFont(LabelModel).lfFaceName,
               GetParam().doubleByte ? L"MS Gothic" : L"Arial");
}

INSTANTIATE_TEST_SUITE_P(Values, JapaneseUseDb,
                         testing::Values(UseDbCase{"upper", "UseDB=TRUE\r\n", true},
                                         UseDbCase{"yes", "UseDB=yes\r\n", false},
                                         UseDbCase{"absent", "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Startup, TitleOf120CharactersIsCutTo104) {
  ProgramRun& run = StartWithSettings("[Screen]\r\nWindowTitle=" + std::string(120, 'T') + "\r\n");
  ASSERT_EQ(run.Wait(), ProgramRun::Outcome::kWindow);
  EXPECT_EQ(run.Caption(), std::wstring(104, L'T'));
}

TEST_F(Startup, WindowHasItsDesignLayoutAndIsCentred) {
  ProgramRun& run = StartWithSettings("[Screen]\r\n");
  ASSERT_EQ(run.Wait(), ProgramRun::Outcome::kWindow);
  EXPECT_EQ(run.Caption(), L"");
  const SIZE client = run.ClientSize();
  EXPECT_EQ(client.cx, 447);  // 6705 twips at 96 dots per inch
  EXPECT_EQ(client.cy, 224);  // 3360 twips
  const LONG style = GetWindowLongW(run.window(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  const RECT window = run.WindowRect();
  EXPECT_NEAR((window.left + window.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((window.top + window.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  // Caption labels end at 2535 twips, value labels start at 2880.
  const RECT caption = run.LabelRect(LabelSWBuild);
  EXPECT_EQ(caption.right, 169);
  EXPECT_EQ(caption.top, 104);
  EXPECT_EQ(caption.bottom - caption.top, 33);  // the one 495-twip label
  const RECT value = run.LabelRect(LabelModelContent);
  EXPECT_EQ(value.left, 192);
  EXPECT_EQ(value.top, 32);
  EXPECT_EQ(run.LabelText(LabelSupportIDContent), L"SupportID");
  // No setting changes the value labels; without captions the caption labels are blank.
  EXPECT_EQ(run.LabelText(LabelModel), L"");
}

}  // namespace
}  // namespace kv::test
