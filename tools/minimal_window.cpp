// The bare minimum the program's start-up is measured against: one window with sixteen
// static labels in the fonts the program's labels end with, and nothing else. Under Wine the
// font engine runs in the process, so each face a window draws with adds its file's pages to
// the working set: a bare window in the system's font would count the program's fonts as its
// overhead.
#include <windows.h>

#include <cmath>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HFONT Font(const wchar_t* name, double points, int dpi) {
  LOGFONTW lf = {};
  lf.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72));
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lstrcpynW(lf.lfFaceName, name, LF_FACESIZE);
  return CreateFontIndirectW(&lf);
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
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  // The design font; in single-byte mode (as the benchmark gets it: any code page but 932)
  // Arial at 14 points for every label but the service ID's value, which keeps the design
  // font where there is no data file to read it from.
  const HFONT design = Font(L"MS Gothic", 14.25, dpi);
  const HFONT filled = GetACP() == 932 ? design : Font(L"Arial", 14, dpi);
  for (int i = 0; i < 16; ++i) {
    const HWND label = CreateWindowExW(
        0, L"STATIC", L"Label", WS_CHILD | WS_VISIBLE, (i % 2) * 192, (i / 2) * 24, 180, 24, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(i == 0 ? design : filled), FALSE);
  }
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  if (filled != design) DeleteObject(filled);
  DeleteObject(design);
  return 0;
}
