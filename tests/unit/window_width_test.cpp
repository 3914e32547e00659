#include "window/window_width.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/app_error.h"
#include "fakes/fake_ports.h"
#include "window/label_rules.h"

namespace kv {
namespace {

using test::FakeWindow;
using test::Harness;

int ErrorOf(std::wstring_view text) {
  try {
    ParseWidth(text);
  } catch (const AppError& e) {
    return e.code();
  }
  return 0;
}

struct ParseCase {
  std::wstring text;
  float value;  // when accepted
  int error;
};

class ParseWidthCases : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseWidthCases, AcceptsPlainNumbersOnly) {
  const ParseCase& c = GetParam();
  EXPECT_EQ(ErrorOf(c.text), c.error);
  if (c.error == 0) {
    EXPECT_FLOAT_EQ(ParseWidth(c.text), c.value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseWidthCases,
    testing::Values(ParseCase{L"9000", 9000, 0}, ParseCase{std::wstring(L"123\0    ", 8), 123, 0},
                    ParseCase{L"12.5", 12.5f, 0}, ParseCase{L"+7", 7, 0}, ParseCase{L"-1", -1, 0},
                    ParseCase{L"1.5e3", 1500, 0}, ParseCase{L"1.5e+3", 1500, 0},
                    ParseCase{L"15e-1", 1.5f, 0}, ParseCase{L"5.", 5, 0}, ParseCase{L".5", 0.5f, 0},
                    ParseCase{L"1e39", 0, kOverflow}, ParseCase{L"abc", 0, kTypeMismatch},
                    ParseCase{std::wstring(L"\0", 1), 0, kTypeMismatch},
                    ParseCase{L"", 0, kTypeMismatch}, ParseCase{L"12,5", 0, kTypeMismatch},
                    ParseCase{L"0x100", 0, kTypeMismatch}, ParseCase{L"1e", 0, kTypeMismatch},
                    ParseCase{L".", 0, kTypeMismatch}, ParseCase{L"1 2", 0, kTypeMismatch},
                    ParseCase{L"\uFF11", 0, kTypeMismatch}));

struct WidthCase {
  const char* name;
  const char* value;  // nullptr: no Width line
  DisplayMode mode;
  float width;
};

class WidthSetting : public testing::TestWithParam<WidthCase> {};

TEST_P(WidthSetting, SetsTheOuterWidth) {
  Harness h;
  if (GetParam().value) h.SetScreen(L"Width", GetParam().value);
  StepContext s(h.platform, h.form, h.library);
  s.settingsPath = Harness::kIni;
  LoadWindowWidth(s, GetParam().mode);
  EXPECT_FLOAT_EQ(h.form.width, GetParam().width);
}

constexpr float kDesign = FakeWindow::kDesignWidth;
constexpr float kLabel = 1350;  // the support ID label's design width

INSTANTIATE_TEST_SUITE_P(
    Values, WidthSetting,
    testing::Values(WidthCase{"number", "9000", DisplayMode::DoubleByte(), 9000},
                    WidthCase{"leading_blanks", "  9000", DisplayMode::SingleByte(), 9000},
                    WidthCase{"letters", "wide", DisplayMode::DoubleByte(), kDesign},
                    WidthCase{"eleven_digits", "00000090009", DisplayMode::SingleByte(), 9000},
                    WidthCase{"wider_than_drawable", "491536", DisplayMode::DoubleByte(), kDesign},
                    WidthCase{"blank_double_byte", "          ", DisplayMode::DoubleByte(),
                              kLabel + 6},
                    WidthCase{"blank_single_byte", "          ", DisplayMode::SingleByte(),
                              kLabel / 2 + kDesign},
                    WidthCase{"empty", "", DisplayMode::DoubleByte(), kDesign},
                    WidthCase{"absent", nullptr, DisplayMode::SingleByte(), kDesign},
                    WidthCase{"overflow", "1e39", DisplayMode::DoubleByte(), kDesign},
                    WidthCase{"refused", "-1", DisplayMode::DoubleByte(), kDesign},
                    WidthCase{"comma", "12,5", DisplayMode::DoubleByte(), kDesign}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowWidth, FailedTestRunsTheFallback) {
  Harness h;
  h.SetScreen(L"Width", "9000");
  StepContext s(h.platform, h.form, h.library, [](int, std::string_view name) {
    if (name == "width blank test") throw AppError(kTypeMismatch);
  });
  s.settingsPath = Harness::kIni;
  LoadWindowWidth(s, DisplayMode::DoubleByte());
  EXPECT_FLOAT_EQ(h.form.width, kLabel + 6);
}

TEST(WindowWidth, OverflowingFallbackLeavesTheWidth) {
  Harness h;
  h.SetScreen(L"Width", "          ");
  h.form.width = 3e38f;
  h.form.SetLabelText(Label::LabelSupportIDContent, std::wstring(10, L'x'));
  h.form.labels[static_cast<int>(Label::LabelSupportIDContent) - 1].width = 3e38f;
  StepContext s(h.platform, h.form, h.library);
  s.settingsPath = Harness::kIni;
  LoadWindowWidth(s, DisplayMode::SingleByte());
  EXPECT_FLOAT_EQ(h.form.width, 3e38f);
}

struct BoxCase {
  const char* name;
  bool fitsText;
  int textWidth;
  int clientWidth;
  LabelBox box;
};

class ValueLabelBoxes : public testing::TestWithParam<BoxCase> {};

// A value label of design box 192, 32, 145 by 25 pixels, on lines 19 pixels high.
TEST_P(ValueLabelBoxes, NeverShowAValueCutAsIfItWereWhole) {
  const BoxCase& c = GetParam();
  EXPECT_EQ(ValueLabelBox({192, 32, 145, 25}, c.fitsText, c.textWidth, 19, c.clientWidth), c.box);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValueLabelBoxes,
    testing::Values(
        BoxCase{"fits", false, 145, 447, {192, 32, 145, 25}},
        BoxCase{"fits_though_the_box_does_not", false, 100, 300, {192, 32, 145, 25}},
        BoxCase{"too_wide_for_its_box", false, 146, 447, {192, 32, 146, 19}},
        BoxCase{"past_the_client_area", false, 300, 447, {192, 32, 255, 19, true}},
        BoxCase{"fits_its_box_not_the_client_area", false, 120, 300, {192, 32, 108, 19, true}},
        BoxCase{"support_id_narrower", true, 40, 447, {192, 32, 40, 19}},
        BoxCase{"support_id_past_the_client_area", true, 500, 447, {192, 32, 255, 19, true}},
        BoxCase{"no_room_at_all", false, 300, 100, {192, 32, 0, 19, true}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
