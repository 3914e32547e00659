#pragma once

#include <string>
#include <string_view>

namespace kv {

// What the window makes of what it is given, in portable form: the Win32 window and the
// in-memory one of the tests apply the same rules, so neither is more lenient.

// The text a title or label shows: up to its first NUL, with control characters, which
// would show as nothing or as boxes, marked as the replacement character U+FFFD.
std::wstring ShownText(std::wstring_view text);

// Raise 380 (invalid property value) for what a label's font refuses: an empty name or
// one of 32 characters or more; a size that is not a number above 0 and at most 2048.
void CheckFontName(std::wstring_view name);
void CheckFontSize(float points);

inline constexpr double kTwipsPerInch = 1440;

// The window's outer width in pixels at dpi for a width in twips. Raises 380 outside 1 to
// 32767 pixels, the range that the system's coordinates can draw.
int WindowPixels(float twips, int dpi);

}  // namespace kv
