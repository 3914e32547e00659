#include <windows.h>

#include <exception>
#include <string>

#include "app/form_kvinfo.h"
#include "win32/dll_search.h"
#include "win32/identity_library.h"
#include "win32/win32_platform.h"
#include "win32/win32_window.h"
#include "window/copying.h"

namespace {

int Run(HINSTANCE instance, int showCommand) {
  const bool searchIsSafe = kv::win32::KeepCurrentDirectoryOutOfDllSearch();

  kv::win32::Win32Window window(instance);
  kv::win32::Win32Platform platform(window.hwnd(), kv::kDefaultAppTitle);
  kv::win32::DllIdentityLibrary library(L"TOVRAMIX.DLL", searchIsSafe);
  kv::FormKVInfo form(window, platform, library);
  form.Form_Load();
  window.OnKeyDown([&](int keyCode, int shift) { form.Form_KeyDown(keyCode, shift); });
  window.OfferCopies(form.MenuItemTexts(),
                     [&](const kv::CopyCommand& command) { kv::Copy(window, platform, command); });
  window.Show(showCommand);
  // No value is read again after the start-up: the library's pages go back, once the window
  // shows, so that the start-up does not wait for it.
  library.Close();

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // A library that cannot be loaded, or a drive that is not ready, fails its step quietly:
  // the one box this program shows is its own.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  try {
    return Run(instance, showCommand);
  } catch (const std::exception& e) {
    // Only the window's creation and the steps before the start-up's error policy can
    // fail this way; without a window there is nothing to tell the user on, only a debugger.
    const std::string why = std::string("Quorin cannot start: ") + e.what() + "\n";
    OutputDebugStringA(why.c_str());
    return kv::kExitCannotStart;
  }
}
