#include "identity/identity_fields.h"

#include <functional>
#include <string>

#include "core/display_mode.h"
#include "window/form_design.h"
#include "window/window_width.h"

namespace kv {
namespace {

// A value as it is shown: without its leading blanks.
std::function<std::wstring(std::wstring)> LeftTrimmed(DisplayMode mode) {
  return [mode](std::wstring text) { return mode.LeftTrimmed(text); };
}

void LoadSoftwareBuild(StepContext& s, std::string& build) {
  constexpr Label label = FieldOf(Source::kSoftwareBuild).value;
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
  const auto show = [&](const Field& field) {
    if (*result == 0) {
      ShowInMode(s, *mode, field.value, s.platform.FromAnsi(pieces[abi::IndexOf(field.piece)]),
                 LeftTrimmed(*mode));
    } else {
      ShowInMode(s, *mode, field.value, kUnknown);
    }
  };
  switch (mode->Pieces()) {
    case DisplayMode::PieceSteps::kFontsValuesWidth:
      for (const Field& field : kPieceOrder) SetModeFont(s, *mode, field.value);
      for (const Field& field : kPieceOrder) show(field);
      if (*result == 0) LoadWindowWidth(s, *mode);
      break;
    case DisplayMode::PieceSteps::kValuesAroundWidth:
      for (const Field& field : *result == 0 ? kPieceOrder : kUnknownOrder) {
        show(field);
        if (*result == 0 && field.widthAfter) LoadWindowWidth(s, *mode);
      }
      break;
  }
}

}  // namespace

void LoadIdentityFields(StepContext& s, IdentityBuffers& buffers) {
  LoadSoftwareBuild(s, buffers.build);
  LoadBiosPieces(s, buffers.pieces);
}

}  // namespace kv
