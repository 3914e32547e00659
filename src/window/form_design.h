#pragma once

#include <array>

#include "core/ports.h"

namespace kv {

inline constexpr wchar_t kDesignCaption[] = L"KV Solvane Support Information";
inline constexpr wchar_t kDesignFontName[] = L"MS Gothic";
inline constexpr float kDesignFontSize = 14.25f;
inline constexpr int kDesignCharset = 128;
inline constexpr int kDesignFontWeight = 400;
inline constexpr int kClientWidthTwips = 6705;
inline constexpr int kClientHeightTwips = 3360;

enum class Align { kLeft, kRight };

struct LabelDesign {
  Label id;
  const wchar_t* name;
  const wchar_t* text;
  int left, top, width, height;  // twips
  Align align;
  bool fitsText;  // sizes itself to its text on one line, growing to the right
};

// In the window's order, which is also the order of creation and the control numbers.
inline constexpr std::array<LabelDesign, kLabelCount> kLabelDesigns = {{
    {Label::LabelBODContent, L"LabelBODContent", L"ServiceID #", 2880, 2640, 2175, 375,
     Align::kLeft, false},
    {Label::LabelBOD, L"LabelBOD", L"Service ID #: ", 0, 2640, 2535, 375, Align::kRight, false},
    {Label::LabelSWBOMContent, L"LabelSWBOMContent", L"Software BOM #", 2880, 2280, 2175, 375,
     Align::kLeft, false},
    {Label::LabelHWBOMContent, L"LabelHWBOMContent", L"Hardware BOM #", 2880, 1920, 2175, 375,
     Align::kLeft, false},
    {Label::LabelSWBOM, L"LabelSWBOM", L"Software BOM #: ", 0, 2280, 2535, 375, Align::kRight,
     false},
    {Label::LabelHWBOM, L"LabelHWBOM", L"Hardware BOM #: ", 0, 1920, 2535, 375, Align::kRight,
     false},
    {Label::LabelProductContent, L"LabelProductContent", L"Product#", 2880, 840, 3015, 375,
     Align::kLeft, false},
    {Label::LabelProduct, L"LabelProduct", L"Product #: ", 0, 840, 2535, 375, Align::kRight, false},
    {Label::LabelSWBuildContent, L"LabelSWBuildContent", L"Software Build #", 2880, 1560, 3255, 375,
     Align::kLeft, false},
    {Label::LabelSWBuild, L"LabelSWBuild", L"Software Build #: ", 0, 1560, 2535, 495, Align::kRight,
     false},
    {Label::LabelSupportIDContent, L"LabelSupportIDContent", L"SupportID", 2880, 120, 1350, 285,
     Align::kLeft, true},
    {Label::LabelModelContent, L"LabelModelContent", L"Model#", 2880, 480, 2175, 375, Align::kLeft,
     false},
    {Label::LabelSupportID, L"LabelSupportID", L"Support ID #: ", 0, 120, 2535, 375, Align::kRight,
     false},
    {Label::LabelModel, L"LabelModel", L"Model #: ", 0, 480, 2535, 375, Align::kRight, false},
    {Label::LabelSerial, L"LabelSerial", L"Serial #: ", 0, 1200, 2535, 375, Align::kRight, false},
    {Label::LabelSerialContent, L"LabelSerialContent", L"Serial#", 2880, 1200, 2175, 375,
     Align::kLeft, false},
}};

constexpr const LabelDesign& DesignOf(Label label) {
  return kLabelDesigns[static_cast<int>(label) - 1];
}

// The window's rows as the user reads them, top to bottom: each field's caption and value.
struct Row {
  Label caption;
  Label value;
};
inline constexpr std::array<Row, kLabelCount / 2> kRows = {{
    {Label::LabelSupportID, Label::LabelSupportIDContent},
    {Label::LabelModel, Label::LabelModelContent},
    {Label::LabelProduct, Label::LabelProductContent},
    {Label::LabelSerial, Label::LabelSerialContent},
    {Label::LabelSWBuild, Label::LabelSWBuildContent},
    {Label::LabelHWBOM, Label::LabelHWBOMContent},
    {Label::LabelSWBOM, Label::LabelSWBOMContent},
    {Label::LabelBOD, Label::LabelBODContent},
}};

// Whether the label shows a value, not the caption that names it.
constexpr bool IsValue(Label label) {
  for (const Row& row : kRows) {
    if (row.value == label) return true;
  }
  return false;
}

constexpr bool RowsRunDownTheWindow() {
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    const LabelDesign& caption = DesignOf(kRows[i].caption);
    const LabelDesign& value = DesignOf(kRows[i].value);
    if (caption.align != Align::kRight || value.align != Align::kLeft) return false;
    if (caption.top != value.top) return false;
    if (i > 0 && caption.top <= DesignOf(kRows[i - 1].caption).top) return false;
  }
  return true;
}
static_assert(RowsRunDownTheWindow(), "each row pairs a caption with its value, top to bottom");

}  // namespace kv
