#include "identity/identity_fields.h"

#include <functional>
#include <string>

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

// A value as it is shown: without its leading blanks.
std::function<std::wstring(std::wstring)> LeftTrimmed(DisplayMode mode) {
  return [mode](std::wstring text) { return mode.LeftTrimmed(text); };
}

void LoadSoftwareBuild(StepContext& s, std::string& build) {
  constexpr Label label = Label::LabelSWBuildContent;
  // Nothing when the call cannot be made at all.
  const auto result =
      s.policy.Choose("build call", [&] { return s.library.GetHardDiskBuildId(build); });
  if (!result) return;
  std::wstring text = s.platform.FromAnsi(build);
  if (*result != 0) s.policy.Step("build unknown", [&] { text = kUnknown; });
  const auto mode = ChooseMode(s, "build mode");
  if (!mode) return;
  // A value is left-trimmed; "Unknown" in its place is shown as it is.
  ShowInMode(s, *mode, label, text, *result == 0 ? LeftTrimmed(*mode) : nullptr);
  SetModeFont(s, *mode, label);
}

void LoadBiosPieces(StepContext& s, PieceBuffers& pieces) {
  const auto result =
      s.policy.Choose("BIOS call", [&] { return s.library.GetBiosStringPieces(pieces); });
  if (!result) return;
  const auto mode = ChooseMode(s, "BIOS mode");
  if (!mode) return;
  const auto show = [&](const PieceField& field) {
    if (*result == 0) {
      ShowInMode(s, *mode, field.label, s.platform.FromAnsi(pieces[field.piece - 1]),
                 LeftTrimmed(*mode));
    } else {
      ShowInMode(s, *mode, field.label, kUnknown);
    }
  };
  if (mode->Font()) {
    // A mode with a font of its own: every font first, then every text, then the width.
    for (const PieceField& f : kPieceFields) SetModeFont(s, *mode, f.label);
    for (const PieceField& f : kPieceFields) show(f);
    if (*result == 0) LoadWindowWidth(s, *mode);
  } else if (*result == 0) {
    // The width comes between the support ID and the product number.
    for (const PieceField& f : {kSerial, kModel, kSupportId}) show(f);
    LoadWindowWidth(s, *mode);
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
