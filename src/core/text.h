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

}  // namespace kv
