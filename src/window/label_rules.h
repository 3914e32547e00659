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

// A label's place in the window's client area, in pixels, and whether its text ends in an
// ellipsis there.
struct LabelBox {
  int left = 0, top = 0, width = 0, height = 0;
  bool ellipsis = false;
  bool operator==(const LabelBox&) const = default;
};

// Where a value label stands, so that no value is shown cut as if it were whole. textWidth is
// the width of its text on one line: all of it for the label that fits its text, without the
// blanks at its end for the others; lineHeight that of one line of its font. A label whose
// text fits in its design box, inside the client area, keeps that box. Any other takes one
// line, as wide as its text, growing to the right; where the client area ends first, it ends
// there too, and its text ends in an ellipsis.
LabelBox ValueLabelBox(const LabelBox& design, bool fitsText, int textWidth, int lineHeight,
                       int clientWidth);

inline constexpr double kTwipsPerInch = 1440;

// The window's outer width in pixels at dpi for a width in twips. Raises 380 outside 1 to
// 32767 pixels, the range that the system's coordinates can draw.
int WindowPixels(float twips, int dpi);

}  // namespace kv
