#pragma once

#include <windows.h>

#include <exception>

#include "win32/handles.h"
#include "win32/system_error.h"

namespace kv::win32 {

// A window owned by an object: the system's messages for it reach Handle from the first one
// (WM_NCCREATE) on, until the object lets it go.
class WindowBase {
 public:
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND hwnd() const { return window_.get(); }

 protected:
  WindowBase() = default;
  ~WindowBase() { Destroy(); }

  // Creates the window of a registered class, this object's from its first message on.
  void Create(HINSTANCE instance, const wchar_t* className, const wchar_t* caption, DWORD style,
              DWORD exStyle, SIZE outer);
  // Nothing more reaches this object, and the window goes.
  void Destroy();

  virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  // Runs a message's work; what it raises is reported as what failed there, never passed on
  // into the system's code. False where it raised.
  template <class Work>
  static bool Guarded(const char* what, Work&& work) {
    try {
      work();
      return true;
    } catch (const std::exception& e) {
      Report(what, e);
      return false;
    }
  }

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  UniqueWindow window_;
};

}  // namespace kv::win32
