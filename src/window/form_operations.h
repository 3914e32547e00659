#pragma once

#include <string>

#include "core/ports.h"

namespace kv {

inline constexpr int kKeyB = 66;
inline constexpr int kKeyC = 67;
inline constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;

// "Version 3.2.0": plain decimal numbers, no leading zeros.
std::wstring VersionText(const ProgramVersion& version);

// The window as text, as it shows: the title, then a line for each row, top to bottom, of
// the caption, a tab and the value; no blanks at the end of a line; every line ended by CR LF.
std::wstring WindowText(const WindowPort& form);

}  // namespace kv
