// Waits until the program's main window shows, then prints its rectangle on the screen
// as "left top width height". Exits 1 when none shows in time.
#include <windows.h>

#include <cstdio>

int main() {
  for (int i = 0; i < 600; ++i) {
    const HWND window = FindWindowW(L"FormKVInfo", nullptr);
    if (window && IsWindowVisible(window)) {
      Sleep(500);  // let it paint
      RECT rect;
      GetWindowRect(window, &rect);
      std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top);
      return 0;
    }
    Sleep(100);
  }
  return 1;
}
