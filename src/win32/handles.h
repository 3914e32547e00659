#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace kv::win32 {

struct WindowCloser {
  void operator()(HWND hwnd) const { DestroyWindow(hwnd); }
};
struct GdiCloser {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct FindCloser {
  void operator()(HANDLE handle) const { FindClose(handle); }
};
struct ModuleCloser {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct DcReleaser {
  void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct GlobalFreer {
  void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
struct MenuDestroyer {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};

template <class Handle, class Closer>
using Unique = std::unique_ptr<std::remove_pointer_t<Handle>, Closer>;

using UniqueWindow = Unique<HWND, WindowCloser>;
using UniqueFont = Unique<HFONT, GdiCloser>;
using UniqueHandle = Unique<HANDLE, HandleCloser>;
using UniqueModule = Unique<HMODULE, ModuleCloser>;
using UniqueScreenDc = Unique<HDC, DcReleaser>;
using UniqueGlobal = Unique<HGLOBAL, GlobalFreer>;
using UniqueMenu = Unique<HMENU, MenuDestroyer>;

// An object selected into a device context for as long as the guard lives.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, old_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The clipboard, open for as long as the object lives; opened() tells whether it could be.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : opened_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (opened_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool opened() const { return opened_; }

 private:
  bool opened_;
};

// FindFirstFileW reports failure with INVALID_HANDLE_VALUE, not null.
inline Unique<HANDLE, FindCloser> AdoptFind(HANDLE handle) {
  return Unique<HANDLE, FindCloser>(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace kv::win32
