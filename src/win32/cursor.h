#pragma once

namespace kv::win32 {

// The application-wide cursor override: while it is on, every window of the program shows
// the hourglass.
void ShowWaitCursor(bool on);
bool WaitCursorShown();

}  // namespace kv::win32
