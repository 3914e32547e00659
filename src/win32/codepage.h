#pragma once

#include <string>
#include <string_view>

namespace kv::win32 {

// Conversions at the boundaries where the platform hands over bytes in the ANSI code page.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);

}  // namespace kv::win32
