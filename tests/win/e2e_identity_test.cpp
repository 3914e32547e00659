// The identity values, the service ID and the window width on the real program, with the
// scripted firmware library beside it.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>

#include "harness.h"
#include "scenario.h"

namespace kv::test {
namespace {

constexpr Label kBiosLabels[] = {LabelSerialContent,  LabelModelContent, LabelSupportIDContent,
                                 LabelProductContent, LabelHWBOMContent, LabelSWBOMContent};

class Identity : public ProgramTest {
 protected:
  ProgramRun& Start(const std::string& screen) { return StartShown(screen); }

  std::string LibraryLog() const {
    std::ifstream log((folder_ / L"TOVRAMIX.log").c_str());
    return std::string(std::istreambuf_iterator<char>(log), {});
  }

  int DesignWidth() const {
    RECT frame = {0, 0, 447, 224};
    AdjustWindowRectEx(&frame, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
    return frame.right - frame.left;
  }

  int Width() const { return run_->WindowRect().right - run_->WindowRect().left; }
};

TEST_F(Identity, ValuesShowLeftTrimmedAsReadInArial) {
  PutLibrary(Script{}.Ini());
  ProgramRun& run = Start("Width=9000\r\n");
  EXPECT_EQ(run.LabelText(LabelSWBuildContent), L"1234567 ");
  EXPECT_EQ(run.LabelText(LabelSerialContent), L"SER-42      ");
  EXPECT_EQ(run.LabelText(LabelModelContent), L"MODEL-7   ");
  EXPECT_EQ(run.LabelText(LabelSupportIDContent), L"SUPPORT-ID" + std::wstring(14, L' '));
  EXPECT_EQ(run.LabelText(LabelProductContent), L"PROD-1" + std::wstring(12, L' '));
  EXPECT_EQ(run.LabelText(LabelHWBOMContent), L"HW1   ");
  EXPECT_EQ(run.LabelText(LabelSWBOMContent), L"SW  ");
  for (const Label id : kBiosLabels) {
    const LOGFONTW font = run.LabelFont(id);
    EXPECT_STREQ(font.lfFaceName, L"Arial");
    EXPECT_EQ(font.lfHeight, -19);
  }
  EXPECT_STREQ(run.LabelFont(LabelSWBuildContent).lfFaceName, L"Arial");
  EXPECT_EQ(Width(), 600);  // 9000 twips
}

TEST_F(Identity, ValueFillingItsWholeBufferShowsWholeAndWidensTheSupportLabel) {
  Script script;
  script.pieces[abi::IndexOf(abi::Piece::kSupportId)] = std::string(26, 'S');
  PutLibrary(script.Ini());
  ProgramRun& run = Start("");
  EXPECT_EQ(run.LabelText(LabelSupportIDContent), std::wstring(26, L'S'));
  const RECT label = run.LabelRect(LabelSupportIDContent);
  EXPECT_EQ(label.left, 192);
  EXPECT_GT(label.right - label.left, 200);
}

// The design width leaves the product number less room than its 18 characters take: the
// label ends at the client area's edge, in an ellipsis, and its text is still all of it. A
// value that fits keeps its design box.
TEST_F(Identity, ValueLongerThanTheWindowEndsAtItsEdgeInAnEllipsis) {
  Script script;
  script.pieces[abi::IndexOf(abi::Piece::kProductNumber)] = std::string(18, 'W');
  PutLibrary(script.Ini());
  ProgramRun& run = Start("");
  EXPECT_EQ(run.LabelText(LabelProductContent), std::wstring(18, L'W'));
  EXPECT_GT(run.TextWidth(LabelProductContent), run.ClientSize().cx - 192);
  EXPECT_EQ(run.LabelRect(LabelProductContent).right, run.ClientSize().cx);
  EXPECT_TRUE(run.EndsInEllipsis(LabelProductContent));
  const RECT model = run.LabelRect(LabelModelContent);
  EXPECT_EQ(model.right - model.left, 145);  // 2175 twips
  EXPECT_EQ(model.bottom - model.top, 25);   // 375 twips
  EXPECT_FALSE(run.EndsInEllipsis(LabelModelContent));
}

// Blanks at a value's end take no room: ten wide letters and the eight blanks that fill the
// product number's buffer fit its design box (201 pixels), though with the blanks they would
// not.
TEST_F(Identity, BlanksAtTheEndOfAValueTakeNoRoom) {
  Script script;
  script.pieces[abi::IndexOf(abi::Piece::kProductNumber)] = std::string(10, 'W');
  PutLibrary(script.Ini());
  ProgramRun& run = Start("");
  ASSERT_GT(run.TextWidth(LabelProductContent, true), 201);
  ASSERT_LE(run.TextWidth(LabelProductContent), 201);
  const RECT product = run.LabelRect(LabelProductContent);
  EXPECT_EQ(product.right - product.left, 201);  // 3015 twips
  EXPECT_FALSE(run.EndsInEllipsis(LabelProductContent));
}

TEST_F(Identity, BuildFailingAloneShowsUnknownThereOnly) {
  Script script;
  script.buildResult = 1;
  PutLibrary(script.Ini());
  ProgramRun& run = Start("Width=9000\r\n");
  EXPECT_EQ(run.LabelText(LabelSWBuildContent), L"Unknown");
  EXPECT_EQ(run.LabelText(LabelModelContent), L"MODEL-7   ");
  EXPECT_EQ(Width(), 600);
}

TEST_F(Identity, BiosFailingShowsSixUnknownAndKeepsTheDesignWidth) {
  Script script;
  script.biosResult = -1;
  PutLibrary(script.Ini());
  ProgramRun& run = Start("Width=9000\r\n");
  EXPECT_EQ(run.LabelText(LabelSWBuildContent), L"1234567 ");
  for (const Label id : kBiosLabels) EXPECT_EQ(run.LabelText(id), L"Unknown");
  EXPECT_STREQ(run.LabelFont(LabelSerialContent).lfFaceName, L"Arial");
  EXPECT_EQ(Width(), DesignWidth());
}

// No library, or one that cannot be loaded: the fields keep their design texts, and the
// system raises no box of its own about the library.
TEST_F(Identity, AbsentOrCorruptLibraryLeavesTheDesignTexts) {
  SetErrorMode(0);  // the program would inherit this process's
  for (const bool corrupt : {false, true}) {
    run_.reset();
    if (corrupt) folder_.Write(L"TOVRAMIX.DLL", "MZ" + std::string(4096, 'Z'));
    ProgramRun& run = Start("Width=9000\r\n");
    const std::pair<Label, const wchar_t*> design[] = {{LabelSWBuildContent, L"Software Build #"},
                                                       {LabelSerialContent, L"Serial#"},
                                                       {LabelModelContent, L"Model#"},
                                                       {LabelSupportIDContent, L"SupportID"},
                                                       {LabelProductContent, L"Product#"},
                                                       {LabelHWBOMContent, L"Hardware BOM #"},
                                                       {LabelSWBOMContent, L"Software BOM #"}};
    for (const auto& [id, text] : design) {
      EXPECT_EQ(run.LabelText(id), text);
      EXPECT_STREQ(run.LabelFont(id).lfFaceName, L"MS Gothic");
    }
    EXPECT_EQ(Width(), DesignWidth());
    EXPECT_EQ(FindWindowOf(run.processId(), L"#32770"), nullptr);
    EXPECT_EQ(run.ErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX))
        << (corrupt ? "corrupt" : "absent");
  }
}

TEST_F(Identity, MissingExportSkipsItsFieldsOnly) {
  PutLibrary(Script{}.Ini(), L"tovramix_nobios.dll");
  ProgramRun& run = Start("Width=9000\r\n");
  EXPECT_EQ(run.LabelText(LabelSWBuildContent), L"1234567 ");
  EXPECT_EQ(run.LabelText(LabelSerialContent), L"Serial#");
  EXPECT_EQ(run.LabelText(LabelSWBOMContent), L"Software BOM #");
  EXPECT_EQ(Width(), DesignWidth());
}

TEST_F(Identity, LibraryPlantedInTheCurrentFolderIsNotLoaded) {
  PutLibrary(Script{}.Ini());
  folder_.Write(L"Quorin.ini", "[Screen]\r\n");
  TestFolder programFolder;
  programFolder.Copy(QuorinExe(), L"Quorin.exe");
  run_ = std::make_unique<ProgramRun>(programFolder / L"Quorin.exe", folder_.path());
  ASSERT_EQ(run_->Wait(), ProgramRun::Outcome::kWindow);
  EXPECT_EQ(run_->LabelText(LabelSWBuildContent), L"Software Build #");
  EXPECT_EQ(LibraryLog(), "");
}

TEST_F(Identity, HourglassShowsWhileTheLibraryWorks) {
  Script script;
  script.delayMs = 1500;
  PutLibrary(script.Ini());
  Start("");
  EXPECT_EQ(LibraryLog(), "build cursor=wait\nbios cursor=wait\n");
}

struct WidthCase {
  const char* name;
  const char* line;
  int pixels;  // 0: the design width
};

class IdentityWidth : public Identity, public testing::WithParamInterface<WidthCase> {};

TEST_P(IdentityWidth, FollowsTheSetting) {
  PutLibrary(Script{}.Ini());
  Start(GetParam().line);
  EXPECT_EQ(Width(), GetParam().pixels ? GetParam().pixels : DesignWidth());
}

INSTANTIATE_TEST_SUITE_P(Values, IdentityWidth,
                         testing::Values(WidthCase{"number", "Width=7500\r\n", 500},
                                         WidthCase{"letters", "Width=wide\r\n", 0},
                                         WidthCase{"eleven_digits", "Width=99999999999\r\n", 0},
                                         WidthCase{"absent", "", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Identity, BlankWidthGrowsByHalfTheSupportLabel) {
  PutLibrary(Script{}.Ini());
  ProgramRun& run = Start("Width=\"          \"\r\n");
  const RECT label = run.LabelRect(LabelSupportIDContent);
  EXPECT_NEAR(Width(), DesignWidth() + (label.right - label.left) / 2.0, 1);
}

struct ServiceIdCase {
  const char* name;
  const wchar_t* storedName;
  const char* bFirst;
  std::wstring shown;
};

class IdentityServiceId : public Identity, public testing::WithParamInterface<ServiceIdCase> {};

TEST_P(IdentityServiceId, ShowsTheRearrangedValueInArial) {
  const SystemDataFile data(GetParam().storedName,
                            std::string("[KVSYSDRV]\r\nBFirst=") + GetParam().bFirst + "\r\n");
  ProgramRun& run = Start("");
  EXPECT_EQ(run.LabelText(LabelBODContent), GetParam().shown);
  EXPECT_STREQ(run.LabelFont(LabelBODContent).lfFaceName, L"Arial");
}

INSTANTIATE_TEST_SUITE_P(
    Values, IdentityServiceId,
    testing::Values(ServiceIdCase{"ten", L"kvsysdrv.dat", "ABCDEFGHIJ", L"ABD-EIJ"},
                    ServiceIdCase{"twelve", L"kvsysdrv.dat", "ABCDEFGHIJKL", L"ABD-EIJ"},
                    ServiceIdCase{"eight", L"kvsysdrv.dat", "ABCDEFGH", L"ABD-E"},
                    ServiceIdCase{"mixed_case_name", L"KvSysDrv.DAT", "ABCDEFGHIJ", L"ABD-EIJ"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Identity, MissingDataFileShowsUnknownInTheDesignFont) {
  ProgramRun& run = Start("");
  EXPECT_EQ(run.LabelText(LabelBODContent), L"Unknown");
  EXPECT_STREQ(run.LabelFont(LabelBODContent).lfFaceName, L"MS Gothic");
}

class JapaneseIdentity : public Identity {};

TEST_F(JapaneseIdentity, ValuesShowFullWidthWithoutLeadingBlanksInTheDesignFont) {
  PutLibrary(Script{}.Ini());
  ProgramRun& run = Start("UseDB=true\r\nWidth=9000\r\n");
  EXPECT_EQ(run.LabelText(LabelSWBuildContent), FullWidth(L"1234567 "));
  EXPECT_EQ(run.LabelText(LabelSupportIDContent),
            FullWidth(L"SUPPORT-ID" + std::wstring(14, L' ')));
  EXPECT_EQ(run.LabelText(LabelSWBOMContent), FullWidth(L"SW  "));
  for (const Label id : kBiosLabels) EXPECT_STREQ(run.LabelFont(id).lfFaceName, L"MS Gothic");
  EXPECT_EQ(Width(), 600);
}

TEST_F(JapaneseIdentity, FailuresShowFullWidthUnknown) {
  Script script;
  script.buildResult = 2;
  script.biosResult = 2;
  PutLibrary(script.Ini());
  ProgramRun& run = Start("UseDB=true\r\n");
  EXPECT_EQ(run.LabelText(LabelSWBuildContent), FullWidth(L"Unknown"));
  for (const Label id : kBiosLabels) EXPECT_EQ(run.LabelText(id), FullWidth(L"Unknown"));
}

// As wide as the support ID's text (plus 6 twips): more than the label has beside its
// caption, so the label ends at the client area's edge.
TEST_F(JapaneseIdentity, BlankWidthFitsTheSupportLabel) {
  PutLibrary(Script{}.Ini());
  ProgramRun& run = Start("UseDB=true\r\nWidth=\"          \"\r\n");
  EXPECT_NEAR(Width(), run.TextWidth(LabelSupportIDContent, true), 1);
  EXPECT_EQ(run.LabelRect(LabelSupportIDContent).right, run.ClientSize().cx);
  EXPECT_TRUE(run.EndsInEllipsis(LabelSupportIDContent));
}

TEST_F(JapaneseIdentity, ServiceIdIsFullWidthAroundANarrowDash) {
  const SystemDataFile data(L"kvsysdrv.dat", "[KVSYSDRV]\r\nBFirst=ABCDEFGHIJ\r\n");
  ProgramRun& run = Start("UseDB=true\r\n");
  EXPECT_EQ(run.LabelText(LabelBODContent), FullWidth(L"ABD") + L"-" + FullWidth(L"EIJ"));
  EXPECT_STREQ(run.LabelFont(LabelBODContent).lfFaceName, L"MS Gothic");
}

TEST_F(JapaneseIdentity, MissingDataFileShowsFullWidthUnknown) {
  ProgramRun& run = Start("UseDB=true\r\n");
  EXPECT_EQ(run.LabelText(LabelBODContent), FullWidth(L"Unknown"));
}

}  // namespace
}  // namespace kv::test
