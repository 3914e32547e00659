#include "win32/cursor.h"

#include <windows.h>

namespace kv::win32 {
namespace {

bool waitCursor = false;

}  // namespace

void ShowWaitCursor(bool on) {
  waitCursor = on;
  SetCursor(LoadCursorW(nullptr, on ? IDC_WAIT : IDC_ARROW));
}

bool WaitCursorShown() {
  return waitCursor;
}

}  // namespace kv::win32
