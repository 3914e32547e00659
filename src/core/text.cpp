#include "core/text.h"

namespace kv {
namespace {

std::wstring MapAscii(std::wstring_view text, wchar_t from, wchar_t to) {
  std::wstring out(text);
  for (wchar_t& c : out) {
    if (c >= from && c < from + 26) c = static_cast<wchar_t>(c - from + to);
  }
  return out;
}

}  // namespace

std::wstring AsciiUpper(std::wstring_view text) {
  return MapAscii(text, L'a', L'A');
}
std::wstring AsciiLower(std::wstring_view text) {
  return MapAscii(text, L'A', L'a');
}

std::wstring TrimSpaces(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  const auto last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

std::wstring_view TrimBlanksAtEnd(std::wstring_view text) {
  const auto last = text.find_last_not_of(std::wstring_view(L" \u3000", 2));
  return text.substr(0, last == std::wstring_view::npos ? 0 : last + 1);
}

std::wstring_view BeforeNul(std::wstring_view text) {
  return text.substr(0, text.find(L'\0'));
}

std::wstring Decimal(long value) {
  // From the last digit back; the magnitude as unsigned, which holds that of the smallest
  // long too.
  unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value) : value;
  std::wstring digits;
  do {
    digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  return value < 0 ? L"-" + digits : digits;
}

std::wstring Mid(std::wstring_view text, std::size_t start, std::size_t length) {
  if (start == 0 || start > text.size()) return {};
  return std::wstring(text.substr(start - 1, length));
}

}  // namespace kv
