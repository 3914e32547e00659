#include "identity/identity_fields.h"

#include <functional>
#include <optional>
#include <string>

#include "core/text.h"
#include "settings/settings.h"
#include "window/window_width.h"

namespace kv {
namespace {

struct PieceField {
  Label label;
  std::size_t piece;  // 1-based, as the library numbers its arguments
};

constexpr PieceField kSerial{Label::LabelSerialContent, 1};
constexpr PieceField kModel{Label::LabelModelContent, 3};
constexpr PieceField kSupportId{Label::LabelSupportIDContent, 4};
constexpr PieceField kProduct{Label::LabelProductContent, 5};
constexpr PieceField kHwBom{Label::LabelHWBOMContent, 8};
constexpr PieceField kSwBom{Label::LabelSWBOMContent, 9};
constexpr PieceField kPieceFields[] = {kSerial, kModel, kSupportId, kProduct, kHwBom, kSwBom};

// A value as it is shown: without its leading blanks, which in double-byte mode the
// conversion has made ideographic spaces.
std::function<std::wstring(std::wstring)> LeftTrimmed(bool singleByte) {
  return [singleByte](std::wstring text) { return LeftTrim(text, !singleByte); };
}

// A library call as one step: nothing when the call cannot be made at all.
template <class Call>
std::optional<std::int16_t> CallLibrary(StepContext& s, std::string_view name, Call&& call) {
  std::optional<std::int16_t> result;
  s.policy.Step(name, [&] { result = call(); });
  return result;
}

void LoadSoftwareBuild(StepContext& s, std::string& build) {
  constexpr Label label = Label::LabelSWBuildContent;
  const auto result =
      CallLibrary(s, "build call", [&] { return s.library.GetHardDiskBuildId(build); });
  if (!result) return;
  if (*result != 0) s.policy.Step("build unknown", [&] { build = "Unknown"; });
  const auto singleByte = ChooseSingleByte(s, "build mode");
  if (!singleByte) return;
  // A value is left-trimmed; "Unknown" in its place is shown as it is.
  ShowInMode(s, *singleByte, label, s.platform.FromAnsi(build),
             *result == 0 ? LeftTrimmed(*singleByte) : nullptr);
  if (*singleByte) SetSingleByteFont(s, label);
}

void LoadBiosPieces(StepContext& s, PieceBuffers& pieces) {
  const auto result =
      CallLibrary(s, "BIOS call", [&] { return s.library.GetBiosStringPieces(pieces); });
  if (!result) return;
  const auto singleByte = ChooseSingleByte(s, "BIOS mode");
  if (!singleByte) return;
  const auto show = [&](const PieceField& field) {
    if (*result == 0) {
      ShowInMode(s, *singleByte, field.label, s.platform.FromAnsi(pieces[field.piece - 1]),
                 LeftTrimmed(*singleByte));
    } else {
      ShowInMode(s, *singleByte, field.label, kUnknown);
    }
  };
  if (*singleByte) {
    // Every font first, then every text, then the width.
    for (const PieceField& f : kPieceFields) SetSingleByteFont(s, f.label);
    for (const PieceField& f : kPieceFields) show(f);
    if (*result == 0) LoadWindowWidth(s, WidthForm::kSingleByte);
  } else if (*result == 0) {
    // The width comes between the support ID and the product number.
    for (const PieceField& f : {kSerial, kModel, kSupportId}) show(f);
    LoadWindowWidth(s, WidthForm::kDoubleByte);
    for (const PieceField& f : {kProduct, kHwBom, kSwBom}) show(f);
  } else {
    // Here the software BOM comes before the hardware BOM.
    for (const PieceField& f : {kSerial, kModel, kSupportId, kProduct, kSwBom, kHwBom}) show(f);
  }
}

}  // namespace

void LoadIdentityFields(StepContext& s, IdentityBuffers& buffers) {
  LoadSoftwareBuild(s, buffers.build);
  LoadBiosPieces(s, buffers.pieces);
}

}  // namespace kv
