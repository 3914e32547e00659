#pragma once

#include <string>
#include <string_view>

namespace kv {

// Case mapping of the ASCII letters only: the names and words it is used on are ASCII,
// and a wider mapping could make a different name compare equal.
std::wstring AsciiUpper(std::wstring_view text);
std::wstring AsciiLower(std::wstring_view text);

// Removes space characters (U+0020) at both ends.
std::wstring TrimSpaces(std::wstring_view text);

// Without the blanks at its end: spaces and ideographic spaces (U+3000).
std::wstring_view TrimBlanksAtEnd(std::wstring_view text);

// The text up to its first NUL.
std::wstring_view BeforeNul(std::wstring_view text);

// Plain decimal digits, with a minus sign when negative.
std::wstring Decimal(long value);

// 1-based substring that never fails: positions past the end give nothing.
std::wstring Mid(std::wstring_view text, std::size_t start, std::size_t length);

}  // namespace kv
