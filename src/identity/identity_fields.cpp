#include "identity/identity_fields.h"

#include <array>
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
constexpr std::array<PieceField, 6> kPieceFields = {kSerial,  kModel, kSupportId,
                                                    kProduct, kHwBom, kSwBom};

// Double-byte form of a value: full width, then the leading blanks removed.
std::wstring WideValue(const Startup& s, const std::wstring& text) {
  return LeftTrim(s.platform.ToFullWidth(text), true);
}

void ShowWide(Startup& s, Label label, const std::wstring& text) {
  s.policy.Step([&] { s.form.SetLabelText(label, WideValue(s, text)); });
}

void ShowNarrow(Startup& s, Label label, const std::wstring& text) {
  s.policy.Step([&] { s.form.SetLabelText(label, LeftTrim(text, false)); });
}

std::wstring Piece(const Startup& s, const PieceField& field) {
  return s.platform.FromAnsi(s.buffers.pieces[field.piece - 1]);
}

// A library call as one step: nothing when the call cannot be made at all.
template <class Call>
std::optional<std::int16_t> CallLibrary(Startup& s, Call&& call) {
  std::optional<std::int16_t> result;
  s.policy.Step([&] { result = call(); });
  return result;
}

void LoadSoftwareBuild(Startup& s) {
  constexpr Label label = Label::LabelSWBuildContent;
  const auto result = CallLibrary(s, [&] { return s.library.GetHardDiskBuildId(s.buffers.build); });
  if (!result) return;
  if (*result != 0) s.policy.Step([&] { s.buffers.build = "Unknown"; });
  const auto singleByte = s.policy.Choose([&] { return s.SingleByteMode; });
  if (!singleByte) return;
  if (*result == 0 && !*singleByte) {
    ShowWide(s, label, s.platform.FromAnsi(s.buffers.build));
  } else if (*result == 0) {
    ShowNarrow(s, label, s.platform.FromAnsi(s.buffers.build));
    SetSingleByteFont(s, label);
  } else if (!*singleByte) {
    s.policy.Step([&] {
      s.form.SetLabelText(label, s.platform.ToFullWidth(s.platform.FromAnsi(s.buffers.build)));
    });
  } else {
    s.policy.Step([&] { s.form.SetLabelText(label, s.platform.FromAnsi(s.buffers.build)); });
    SetSingleByteFont(s, label);
  }
}

void LoadBiosPieces(Startup& s) {
  const auto result =
      CallLibrary(s, [&] { return s.library.GetBiosStringPieces(s.buffers.pieces); });
  if (!result) return;
  const auto singleByte = s.policy.Choose([&] { return s.SingleByteMode; });
  if (!singleByte) return;
  if (*result == 0 && !*singleByte) {
    for (const PieceField& f : {kSerial, kModel, kSupportId}) ShowWide(s, f.label, Piece(s, f));
    LoadWindowWidth(s, WidthForm::kDoubleByte);
    for (const PieceField& f : {kProduct, kHwBom, kSwBom}) ShowWide(s, f.label, Piece(s, f));
  } else if (*result == 0) {
    for (const PieceField& f : kPieceFields) SetSingleByteFont(s, f.label);
    for (const PieceField& f : kPieceFields) ShowNarrow(s, f.label, Piece(s, f));
    LoadWindowWidth(s, WidthForm::kSingleByte);
  } else if (!*singleByte) {
    for (const PieceField& f : {kSerial, kModel, kSupportId, kProduct, kSwBom, kHwBom}) {
      ShowWide(s, f.label, kUnknown);
    }
  } else {
    for (const PieceField& f : kPieceFields) SetSingleByteFont(s, f.label);
    for (const PieceField& f : kPieceFields) {
      s.policy.Step([&] { s.form.SetLabelText(f.label, kUnknown); });
    }
  }
}

}  // namespace

void LoadIdentityFields(Startup& s) {
  LoadSoftwareBuild(s);
  LoadBiosPieces(s);
}

}  // namespace kv
