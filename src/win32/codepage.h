#pragma once

#include <string>
#include <string_view>

namespace kv::win32 {

// Conversions at the boundaries where the platform hands over bytes in the ANSI code page.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);
// How many of the first bytes, at most limit, hold whole characters of the ANSI code page.
std::size_t WholeCharacters(std::string_view bytes, std::size_t limit);

}  // namespace kv::win32
