#include "window/window_width.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "core/app_error.h"
#include "core/text.h"
#include "settings/settings.h"

namespace kv {
namespace {

constexpr float kDoubleByteMargin = 6;  // twips beside the support ID in the fallback

float Checked(float value) {
  if (!std::isfinite(value)) throw AppError(kOverflow);
  return value;
}

bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

}  // namespace

float ParseWidth(std::wstring_view text) {
  const std::wstring number = TrimSpaces(BeforeNul(text));
  // Plain ASCII number syntax only; anything else is a type mismatch.
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t start = i;
    while (i < number.size() && IsDigit(number[i])) ++i;
    return i - start;
  };
  if (i < number.size() && (number[i] == L'+' || number[i] == L'-')) ++i;
  std::size_t mantissa = digits();
  if (i < number.size() && number[i] == L'.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) throw AppError(kTypeMismatch);
  if (i < number.size() && (number[i] == L'e' || number[i] == L'E')) {
    ++i;
    if (i < number.size() && (number[i] == L'+' || number[i] == L'-')) ++i;
    if (digits() == 0) throw AppError(kTypeMismatch);
  }
  if (i != number.size()) throw AppError(kTypeMismatch);

  const std::string ascii(number.begin(), number.end());
  const char* first = ascii.data() + (ascii.front() == '+' ? 1 : 0);
  double value = 0;
  const auto [end, error] = std::from_chars(first, ascii.data() + ascii.size(), value);
  if (error == std::errc::result_out_of_range ||
      std::fabs(value) > std::numeric_limits<float>::max()) {
    throw AppError(kOverflow);
  }
  if (error != std::errc() || end != ascii.data() + ascii.size()) throw AppError(kTypeMismatch);
  return static_cast<float>(value);
}

void LoadWindowWidth(StepContext& s, WidthForm form) {
  const SettingBuffer read = ReadSetting(s, s.settingsPath, kScreenSection, L"Width", L"");
  std::wstring text;
  s.policy.Step("cut width", [&] { text = TrimSpaces(CutFirst10(s.platform, read)); });
  // A missing or empty key leaves the NUL alone, which is not blank: the window then keeps
  // its width rather than shrinking to the support ID.
  if (s.policy.Test("width blank test", [&] { return text.empty(); })) {
    s.policy.Step("width fallback", [&] {
      const float label = s.form.LabelWidth(Label::LabelSupportIDContent);
      if (form == WidthForm::kDoubleByte) {
        s.form.SetWidth(Checked(label + kDoubleByteMargin));
      } else {
        s.form.SetWidth(Checked(label / 2 + s.form.Width()));
      }
    });
  } else {
    s.policy.Step("width", [&] { s.form.SetWidth(ParseWidth(text)); });
  }
}

}  // namespace kv
