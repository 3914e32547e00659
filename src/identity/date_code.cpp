#include "identity/date_code.h"

#include <string_view>

#include "core/app_error.h"
#include "core/text.h"

namespace kv {
namespace {

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}
bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

// A whole number with blanks around it and an optional sign; anything else is a type
// mismatch.
long Number(std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  const bool negative = i < text.size() && text[i] == L'-';
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) ++i;
  const std::size_t digitsStart = i;
  long value = 0;
  while (i < text.size() && IsDigit(text[i])) value = value * 10 + (text[i++] - L'0');
  const bool hasDigits = i > digitsStart;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (!hasDigits || i != text.size()) throw AppError(kTypeMismatch);
  return negative ? -value : value;
}

// Lenient reading: blanks are skipped, reading stops at the first character that cannot
// continue the number, and no number at all is 0.
long LenientNumber(std::wstring_view text) {
  long value = 0;
  bool negative = false;
  bool started = false;
  for (const wchar_t c : text) {
    if (IsBlank(c)) continue;
    if (!started && (c == L'-' || c == L'+')) {
      negative = c == L'-';
      started = true;
    } else if (IsDigit(c)) {
      value = value * 10 + (c - L'0');
      started = true;
    } else {
      break;
    }
  }
  return negative ? -value : value;
}

}  // namespace

std::wstring ToJulian(const std::wstring& sDate) {
  const std::wstring day = Mid(sDate, 1, 2);
  const long year = Number(Mid(sDate, 7, 4)) - 1990;
  // The test is on the value: 0 gives 00, -5 gives 0-5.
  std::wstring yearPart = Decimal(year);
  if (year < 10) yearPart = L"0" + yearPart;
  const long month = (Number(Mid(sDate, 4, 2)) - 1) * 30;
  const long dayNumber = day == L"31" ? 30 : LenientNumber(day);
  return yearPart + Decimal(month) + Decimal(dayNumber);
}

}  // namespace kv
