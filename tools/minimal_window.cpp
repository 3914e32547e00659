// The bare minimum the program's start-up is measured against: one window with sixteen
// static labels, and nothing else.
#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"MinimalWindow";
  RegisterClassW(&wc);
  const HWND window =
      CreateWindowExW(0, wc.lpszClassName, L"Minimal", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                      CW_USEDEFAULT, CW_USEDEFAULT, 453, 250, nullptr, nullptr, instance, nullptr);
  for (int i = 0; i < 16; ++i) {
    CreateWindowExW(0, L"STATIC", L"Label", WS_CHILD | WS_VISIBLE, (i % 2) * 192, (i / 2) * 24, 180,
                    24, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), instance,
                    nullptr);
  }
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
