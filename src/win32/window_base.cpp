#include "win32/window_base.h"

namespace kv::win32 {

void WindowBase::Create(HINSTANCE instance, const wchar_t* className, const wchar_t* caption,
                        DWORD style, DWORD exStyle, SIZE outer) {
  if (!CreateWindowExW(exStyle, className, caption, style, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx,
                       outer.cy, nullptr, nullptr, instance, this)) {
    throw SystemError("creating the window", GetLastError());
  }
}

void WindowBase::Destroy() {
  if (!window_) return;
  SetWindowLongPtrW(hwnd(), GWLP_USERDATA, 0);
  window_.reset();
}

LRESULT CALLBACK WindowBase::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created =
        static_cast<WindowBase*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    created->window_.reset(hwnd);
  }
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // Closed by the user: the handle is gone, nothing is left to destroy.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    static_cast<void>(self->window_.release());
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->Handle(message, wParam, lParam);
}

}  // namespace kv::win32
