#include "window/label_rules.h"

#include <algorithm>
#include <cmath>

#include "core/app_error.h"

namespace kv {
namespace {

constexpr std::size_t kFaceNameRoom = 32;  // the system's face name, with its NUL
constexpr float kMaxFontPoints = 2048;
constexpr double kMaxWindowPixels = 32767;

}  // namespace

std::wstring ShownText(std::wstring_view text) {
  std::wstring shown(text.substr(0, text.find(L'\0')));
  for (wchar_t& c : shown) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) c = L'\uFFFD';
  }
  return shown;
}

void CheckFontName(std::wstring_view name) {
  if (name.empty() || name.size() >= kFaceNameRoom) throw AppError(kInvalidPropertyValue);
}

void CheckFontSize(float points) {
  if (!std::isfinite(points) || points <= 0 || points > kMaxFontPoints) {
    throw AppError(kInvalidPropertyValue);
  }
}

LabelBox ValueLabelBox(const LabelBox& design, bool fitsText, int textWidth, int lineHeight,
                       int clientWidth) {
  if (!fitsText && textWidth <= design.width && design.left + textWidth <= clientWidth) {
    return design;
  }
  LabelBox box = {design.left, design.top, textWidth, lineHeight, false};
  const int room = std::max(0, clientWidth - design.left);
  if (box.width > room) {
    box.width = room;
    box.ellipsis = true;
  }
  return box;
}

int WindowPixels(float twips, int dpi) {
  const double pixels = std::round(twips * dpi / kTwipsPerInch);
  if (!std::isfinite(pixels) || pixels < 1 || pixels > kMaxWindowPixels) {
    throw AppError(kInvalidPropertyValue);
  }
  return static_cast<int>(pixels);
}

}  // namespace kv
