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
std::wstring WindowText(const Form& form);

// The main window's key-down event: Ctrl+Shift+B (Alt not held) shows the version box,
// titled with the window's current title; Ctrl+C alone puts the window's text on the
// clipboard.
void Form_KeyDown(Form& form, Platform& platform, int KeyCode, int Shift);

// Shows, once, the font name of the first label in window order whose font is named
// exactly "Gothic". Changes nothing; FontName is not read.
void ChangeFont(Form& form, Platform& platform, const std::wstring& FontName);

}  // namespace kv
