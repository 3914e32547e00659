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
  return kLabelDesigns[LabelIndex(label)];
}

// Where an identity field's value comes from.
enum class Source { kPiece, kSoftwareBuild, kServiceId };

// The window's rows, one for each identity field, as the user reads them top to bottom: its
// caption and value labels; the settings key of its caption and that key's place among those
// read (from 1); where its value comes from; and, for a piece of the library, the value's place
// among those the library gives, in the order both display modes show the values, and in the
// order double-byte mode shows "Unknown" for them, where the width comes after widthAfter.
struct Field {
  Label caption{}, value{};
  const wchar_t* captionKey = nullptr;
  int captionPlace = 0;
  Source source = Source::kPiece;
  abi::Piece piece{};
  int piecePlace = 0;
  int unknownPlace = 0;
  bool widthAfter = false;
};

inline constexpr std::array<Field, kLabelCount / 2> kFields = {{
    {Label::LabelSupportID, Label::LabelSupportIDContent, L"Text3", 1, Source::kPiece,
     abi::Piece::kSupportId, 3, 3, true},
    {Label::LabelModel, Label::LabelModelContent, L"Text1", 3, Source::kPiece, abi::Piece::kModel,
     2, 2},
    {Label::LabelProduct, Label::LabelProductContent, L"Text5", 4, Source::kPiece,
     abi::Piece::kProductNumber, 4, 4},
    {Label::LabelSerial, Label::LabelSerialContent, L"Text2", 2, Source::kPiece,
     abi::Piece::kSerialNumber, 1, 1},
    {Label::LabelSWBuild, Label::LabelSWBuildContent, L"Text4", 5, Source::kSoftwareBuild},
    {Label::LabelHWBOM, Label::LabelHWBOMContent, L"Text6", 6, Source::kPiece,
     abi::Piece::kHardwareBom, 5, 6},
    {Label::LabelSWBOM, Label::LabelSWBOMContent, L"Text7", 7, Source::kPiece,
     abi::Piece::kSoftwareBom, 6, 5},
    {Label::LabelBOD, Label::LabelBODContent, L"Text8", 8, Source::kServiceId},
}};

// How many fields have a place in an order.
constexpr std::size_t Placed(int Field::*place) {
  std::size_t count = 0;
  for (const Field& field : kFields) count += field.*place > 0;
  return count;
}

// The fields that have a place in an order, in that order; a place that two take, or none,
// stops the build.
template <int Field::*place>
constexpr std::array<Field, Placed(place)> InOrder() {
  std::array<Field, Placed(place)> ordered{};
  std::array<bool, Placed(place)> taken{};
  for (const Field& field : kFields) {
    if (field.*place == 0) continue;
    const auto at = static_cast<std::size_t>(field.*place - 1);
    if (at >= ordered.size() || taken[at]) throw "a place that two fields take, or none";
    taken[at] = true;
    ordered[at] = field;
  }
  return ordered;
}
inline constexpr auto kCaptionOrder = InOrder<&Field::captionPlace>();
inline constexpr auto kPieceOrder = InOrder<&Field::piecePlace>();
inline constexpr auto kUnknownOrder = InOrder<&Field::unknownPlace>();

// The field whose value comes from a source other than the library's pieces.
constexpr const Field& FieldOf(Source source) {
  for (const Field& field : kFields) {
    if (field.source == source) return field;
  }
  throw "no field has that source";
}

// Whether the label shows a value, not the caption that names it.
constexpr bool IsValue(Label label) {
  for (const Field& field : kFields) {
    if (field.value == label) return true;
  }
  return false;
}

constexpr bool FieldsRunDownTheWindow() {
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    const LabelDesign& caption = DesignOf(kFields[i].caption);
    const LabelDesign& value = DesignOf(kFields[i].value);
    if (caption.align != Align::kRight || value.align != Align::kLeft) return false;
    if (caption.top != value.top) return false;
    if (i > 0 && caption.top <= DesignOf(kFields[i - 1].caption).top) return false;
  }
  return true;
}
static_assert(FieldsRunDownTheWindow(), "each row pairs a caption with its value, top to bottom");

// Each piece's field takes its place in both orders; a piece that the window shows no field of
// has none.
constexpr bool PiecesAreInBothOrders() {
  for (const Field& field : kFields) {
    if ((field.source == Source::kPiece) != (field.piecePlace > 0 && field.unknownPlace > 0)) {
      return false;
    }
  }
  return kPieceOrder.size() == kUnknownOrder.size();
}
static_assert(PiecesAreInBothOrders());
static_assert(kCaptionOrder.size() == kFields.size(), "every field has a caption key");

}  // namespace kv
