#include "window/window_width.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "core/app_error.h"
#include "core/text.h"
#include "settings/settings.h"

namespace kv {
namespace {

// Powers of ten past this take any number out of long double's range.
constexpr long kExponentBound = 6000;

bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

}  // namespace

float ParseWidth(std::wstring_view text) {
  const std::wstring number = TrimSpaces(BeforeNul(text));
  // Plain ASCII number syntax only; anything else is a type mismatch. The digits are taken
  // as one whole number and a power of ten to scale it by; long double holds more of them
  // than the single-precision result keeps.
  std::size_t i = 0;
  long double whole = 0;
  long scale = 0;
  const auto digits = [&](auto&& take) {
    const std::size_t start = i;
    for (; i < number.size() && IsDigit(number[i]); ++i) take(number[i] - L'0');
    return i - start;
  };
  bool negative = false;
  if (i < number.size() && (number[i] == L'+' || number[i] == L'-')) negative = number[i++] == L'-';
  std::size_t mantissa = digits([&](int digit) { whole = whole * 10 + digit; });
  if (i < number.size() && number[i] == L'.') {
    ++i;
    mantissa += digits([&](int digit) {
      whole = whole * 10 + digit;
      --scale;
    });
  }
  if (mantissa == 0) throw AppError(kTypeMismatch);
  if (i < number.size() && (number[i] == L'e' || number[i] == L'E')) {
    ++i;
    bool down = false;
    if (i < number.size() && (number[i] == L'+' || number[i] == L'-')) down = number[i++] == L'-';
    long exponent = 0;
    const auto exponentDigits =
        digits([&](int digit) { exponent = std::min(exponent * 10 + digit, kExponentBound); });
    if (exponentDigits == 0) throw AppError(kTypeMismatch);
    scale += down ? -exponent : exponent;
  }
  if (i != number.size()) throw AppError(kTypeMismatch);

  // Beyond the bound the value is out of any range, or nothing, whatever its digits.
  scale = std::clamp(scale, -kExponentBound, kExponentBound);
  for (; scale > 0 && whole <= std::numeric_limits<float>::max(); --scale) whole *= 10;
  for (; scale < 0 && whole > 0; ++scale) whole /= 10;
  if (whole > std::numeric_limits<float>::max()) throw AppError(kOverflow);
  return static_cast<float>(negative ? -whole : whole);
}

void LoadWindowWidth(StepContext& s, DisplayMode mode) {
  const SettingBuffer read = ReadSetting(s, s.settingsPath, kScreenSection, kWidthKey, L"");
  std::wstring text;
  s.policy.Step("cut width", [&] { text = TrimSpaces(CutFirst10(s.platform, read)); });
  // A missing or empty key leaves the NUL alone, which is not blank: the window then keeps
  // its width rather than shrinking to the support ID.
  if (s.policy.Test("width blank test", [&] { return text.empty(); })) {
    s.policy.Step("width fallback", [&] { s.form.SetWidth(mode.WidthFallback()); });
  } else {
    s.policy.Step("width", [&] { s.form.SetWidth(WidthRule::Twips(ParseWidth(text))); });
  }
}

}  // namespace kv
