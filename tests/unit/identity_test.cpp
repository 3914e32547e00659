#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_ports.h"
#include "identity/identity_fields.h"
#include "identity/service_id.h"
#include "settings/settings.h"

namespace kv {
namespace {

using test::Harness;
using test::Wide;
using Log = std::vector<std::wstring>;

// Runs one step on its own, in the given mode, with a settings file whose Width is 9000.
struct StepRun {
  explicit StepRun(bool singleByte) : s(h.platform, h.form, h.library) {
    s.settingsPath = Harness::kIni;
    s.SingleByteMode = singleByte;
    h.SetScreen(L"Width", "9000");
    h.library.build = "  1234567 ";
    h.library.pieces = {" SER1", "p2", "MOD", "  SUPPORT", "PROD", "p6", "p7", "HW", "SW"};
  }
  Harness h;
  StepContext s;
  IdentityBuffers buffers;
};

Log SingleByteFont(const std::wstring& label) {
  return {L"fontname " + label + L" Arial", L"fontsize " + label + L" 14.00"};
}

Log Join(std::initializer_list<Log> parts) {
  Log all;
  for (const Log& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(IdentityFields, DoubleByteValuesAreFullWidthLeftTrimmedAndTheWidthComesMidway) {
  StepRun r(false);
  LoadIdentityFields(r.s, r.buffers);
  const Log expected = {
      L"text LabelSWBuildContent " + Wide(L"1234567 "),
      L"text LabelSerialContent " + Wide(L"SER1") + Wide(std::wstring(7, ' ')),
      L"text LabelModelContent " + Wide(L"MOD") + Wide(std::wstring(7, ' ')),
      L"text LabelSupportIDContent " + Wide(L"SUPPORT") + Wide(std::wstring(17, ' ')),
      L"width 9000",
      L"text LabelProductContent " + Wide(L"PROD") + Wide(std::wstring(14, ' ')),
      L"text LabelHWBOMContent " + Wide(L"HW    "),
      L"text LabelSWBOMContent " + Wide(L"SW  ")};
  EXPECT_EQ(r.h.form.log, expected);
}

// In single-byte mode the build's text and font, then the six BIOS fonts, then their texts
// (with the width last when the values came).
struct SingleByteCase {
  const char* name;
  std::int16_t buildResult;
  std::int16_t biosResult;
  const wchar_t* build;
  Log bios;
};

class SingleByteFields : public testing::TestWithParam<SingleByteCase> {};

TEST_P(SingleByteFields, TakeArialBeforeTheirTexts) {
  StepRun r(true);
  r.h.library.buildResult = GetParam().buildResult;
  r.h.library.biosResult = GetParam().biosResult;
  LoadIdentityFields(r.s, r.buffers);
  const Log expected = Join({
      {std::wstring(L"text LabelSWBuildContent ") + GetParam().build},
      SingleByteFont(L"LabelSWBuildContent"),
      SingleByteFont(L"LabelSerialContent"),
      SingleByteFont(L"LabelModelContent"),
      SingleByteFont(L"LabelSupportIDContent"),
      SingleByteFont(L"LabelProductContent"),
      SingleByteFont(L"LabelHWBOMContent"),
      SingleByteFont(L"LabelSWBOMContent"),
      GetParam().bios,
  });
  EXPECT_EQ(r.h.form.log, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Results, SingleByteFields,
    testing::Values(
        SingleByteCase{
            "values_as_read_and_the_width_last",
            0,
            0,
            L"1234567 ",
            {L"text LabelSerialContent SER1       ", L"text LabelModelContent MOD       ",
             L"text LabelSupportIDContent SUPPORT" + std::wstring(17, L' '),
             L"text LabelProductContent PROD" + std::wstring(14, L' '),
             L"text LabelHWBOMContent HW    ", L"text LabelSWBOMContent SW  ", L"width 9000"}},
        SingleByteCase{"failures_unknown_without_width",
                       1,
                       32767,
                       L"Unknown",
                       {L"text LabelSerialContent Unknown", L"text LabelModelContent Unknown",
                        L"text LabelSupportIDContent Unknown", L"text LabelProductContent Unknown",
                        L"text LabelHWBOMContent Unknown", L"text LabelSWBOMContent Unknown"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IdentityFields, DoubleByteFailuresShowUnknownInTheirOwnOrderWithoutWidth) {
  StepRun r(false);
  r.h.library.buildResult = 3;
  r.h.library.biosResult = -1;
  LoadIdentityFields(r.s, r.buffers);
  const std::wstring unknown = Wide(L"Unknown");
  const Log expected = {
      L"text LabelSWBuildContent " + unknown, L"text LabelSerialContent " + unknown,
      L"text LabelModelContent " + unknown,   L"text LabelSupportIDContent " + unknown,
      L"text LabelProductContent " + unknown, L"text LabelSWBOMContent " + unknown,
      L"text LabelHWBOMContent " + unknown};
  EXPECT_EQ(r.h.form.log, expected);
}

TEST(IdentityFields, BlankWidthInDoubleByteModeIsTheSupportIdLabelAndSixTwips) {
  StepRun r(false);
  r.h.SetScreen(L"Width", "          ");
  LoadIdentityFields(r.s, r.buffers);
  // The support ID shows as 24 full-width characters, each as wide as the fake window has it.
  EXPECT_FLOAT_EQ(r.h.form.width, 24 * test::FakeWindow::kTwipsPerChar + 6);
}

TEST(IdentityFields, BuildFailingAloneLeavesTheBiosFieldsAndTheWidth) {
  StepRun r(true);
  r.h.library.buildResult = -32768;
  LoadIdentityFields(r.s, r.buffers);
  EXPECT_EQ(r.h.form.Of(Label::LabelSWBuildContent).text, L"Unknown");
  EXPECT_EQ(r.h.form.Of(Label::LabelModelContent).text, L"MOD       ");
  EXPECT_EQ(r.h.form.width, 9000);
}

class LibraryUnusable : public testing::TestWithParam<bool> {};

TEST_P(LibraryUnusable, SkipsEverythingThatDependsOnTheCall) {
  StepRun r(GetParam());
  r.h.library.faults.Fail("build", kLibraryNotFound);
  r.h.library.faults.Fail("bios", kLibraryNotFound);
  LoadIdentityFields(r.s, r.buffers);
  EXPECT_TRUE(r.h.form.log.empty());
  EXPECT_EQ(r.s.SingleByteMode, GetParam());  // a library that cannot be loaded is no code 5
}

TEST_P(LibraryUnusable, MissingBiosExportKeepsTheSixDesignTexts) {
  StepRun r(GetParam());
  r.h.library.faults.Fail("bios", kEntryPointNotFound);
  LoadIdentityFields(r.s, r.buffers);
  ASSERT_FALSE(r.h.form.log.empty());
  EXPECT_TRUE(r.h.form.log[0].starts_with(L"text LabelSWBuildContent"));
  for (const Label label :
       {Label::LabelSerialContent, Label::LabelModelContent, Label::LabelSupportIDContent,
        Label::LabelProductContent, Label::LabelHWBOMContent, Label::LabelSWBOMContent}) {
    EXPECT_EQ(r.h.form.Of(label).text, test::FakeWindow().Of(label).text);
    EXPECT_EQ(r.h.form.Of(label).fontName, L"MS Gothic");
  }
  EXPECT_EQ(r.h.form.width, test::FakeWindow::kDesignWidth);
}

INSTANTIATE_TEST_SUITE_P(Modes, LibraryUnusable, testing::Bool());

TEST(IdentityFields, BuffersComeBackWholeWhateverTheLibraryLeftInThem) {
  StepRun r(true);
  r.h.library.build = std::string("AB\0CDEFGHIJKL", 13);
  r.h.library.pieces[abi::IndexOf(abi::Piece::kSupportId)] = std::string(26, 'S');
  LoadIdentityFields(r.s, r.buffers);
  const std::wstring given = L"text LabelSWBuildContent " + std::wstring(L"AB\0CDEFGHI", 10);
  EXPECT_EQ(std::count(r.h.form.log.begin(), r.h.form.log.end(), given), 1);
  EXPECT_EQ(r.h.form.Of(Label::LabelSWBuildContent).text, L"AB");  // the label ends at the NUL
  EXPECT_EQ(r.h.form.Of(Label::LabelSupportIDContent).text, std::wstring(26, L'S'));
}

TEST(IdentityFields, Error5OnAValueSwitchesTheLaterBranchesToSingleByte) {
  StepRun r(false);
  r.h.platform.doubleByte = false;
  LoadIdentityFields(r.s, r.buffers);
  EXPECT_TRUE(r.s.SingleByteMode);
  EXPECT_EQ(r.h.form.Of(Label::LabelSWBuildContent).text, L"Software Build #");
  EXPECT_EQ(r.h.form.Of(Label::LabelModelContent).text, L"MOD       ");
  EXPECT_EQ(r.h.form.Of(Label::LabelModelContent).fontName, L"Arial");
}

struct FormatCase {
  std::wstring raw;
  std::wstring shown;
};

class FormatServiceIDCases : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatServiceIDCases, KeepsCharacters1_2_4_5_9_10) {
  EXPECT_EQ(FormatServiceID(GetParam().raw), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FormatServiceIDCases,
    testing::Values(FormatCase{L"ABCDEFGHIJ", L"ABD-EIJ"}, FormatCase{L"ABCDEFGHIJKL", L"ABD-EIJ"},
                    FormatCase{std::wstring(L"ABCDEFGH\0 ", 10), std::wstring(L"ABD-E\0 ", 7)},
                    FormatCase{L"ABCDEFGHI", L"ABD-EI"}, FormatCase{L"ABCD", L"ABD-"},
                    FormatCase{L"AB", L"AB-"}, FormatCase{L"", L"-"}));

struct ServiceIdRun {
  ServiceIdRun(bool singleByte, const char* bFirst) : r(singleByte) {
    r.h.platform.AddFile(kSystemDataFile, L"KvSysDrv.DAT");
    if (bFirst) r.h.platform.SetSetting(kSystemDataFile, L"KVSYSDRV", L"BFirst", bFirst);
    LoadServiceID(r.s);
  }
  const test::FakeWindow::LabelState& label() const { return r.h.form.Of(Label::LabelBODContent); }
  StepRun r;
};

TEST(ServiceID, PresentFileShowsTheRearrangedIdInEachMode) {
  const ServiceIdRun single(true, "ABCDEFGHIJ");
  EXPECT_EQ(single.label().text, L"ABD-EIJ");
  EXPECT_EQ(single.label().fontName, L"Arial");
  EXPECT_EQ(single.label().fontSize, 14.0f);
  const ServiceIdRun wide(false, "ABCDEFGHIJKL");
  EXPECT_EQ(wide.label().text, Wide(L"ABD") + L"-" + Wide(L"EIJ"));
  EXPECT_EQ(wide.label().fontName, L"MS Gothic");
}

TEST(ServiceID, ShortValueKeepsTheNulAndFillOfTheCut) {
  const ServiceIdRun run(true, "ABCDEFGH");
  EXPECT_EQ(run.r.h.form.log.at(0), L"text LabelBODContent " + std::wstring(L"ABD-E\0 ", 7));
  EXPECT_EQ(run.label().text, L"ABD-E");
}

TEST(ServiceID, AbsentKeyShowsUnknownWhole) {
  EXPECT_EQ(ServiceIdRun(true, nullptr).label().text, L"Unknown");
  EXPECT_EQ(ServiceIdRun(false, nullptr).label().text, Wide(L"Unknown"));
}

TEST(ServiceID, MissingFileShowsUnknownAndKeepsTheDesignFont) {
  for (const bool singleByte : {true, false}) {
    StepRun r(singleByte);
    LoadServiceID(r.s);
    const auto& label = r.h.form.Of(Label::LabelBODContent);
    EXPECT_EQ(label.text, singleByte ? L"Unknown" : Wide(L"Unknown"));
    EXPECT_EQ(label.fontName, L"MS Gothic");
    EXPECT_TRUE(r.h.platform.log.back().starts_with(L"find"));  // nothing read
  }
}

TEST(ServiceID, FailingLookupCountsAsPresent) {
  StepRun r(true);
  r.h.platform.faults.Fail("find", kPathAccess);
  r.h.platform.SetSetting(kSystemDataFile, L"KVSYSDRV", L"BFirst", "ABCDEFGHIJ");
  LoadServiceID(r.s);
  EXPECT_EQ(r.h.form.Of(Label::LabelBODContent).text, L"ABD-EIJ");
}

TEST(ServiceID, FailedReadShowsNoMadeUpId) {
  StepRun r(true);
  r.h.platform.AddFile(kSystemDataFile, L"kvsysdrv.dat");
  r.h.platform.faults.Fail("read", kPathAccess);
  LoadServiceID(r.s);
  EXPECT_EQ(r.h.form.Of(Label::LabelBODContent).text, L"ServiceID #");
}

TEST(ServiceID, UnsupportedConversionKeepsTheDesignTextAndSwitchesTheMode) {
  StepRun r(false);
  r.h.platform.doubleByte = false;
  r.h.platform.AddFile(kSystemDataFile, L"kvsysdrv.dat");
  LoadServiceID(r.s);
  EXPECT_EQ(r.h.form.Of(Label::LabelBODContent).text, L"ServiceID #");
  EXPECT_TRUE(r.s.SingleByteMode);
}

}  // namespace
}  // namespace kv
