#include <windows.h>

#include "app/startup.h"
#include "win32/identity_library.h"
#include "win32/dll_search.h"
#include "win32/main_window.h"
#include "win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  kv::win32::KeepCurrentDirectoryOutOfDllSearch();

  kv::win32::MainWindow form(instance);
  kv::win32::Win32Platform platform(form.hwnd());
  kv::win32::DllIdentityLibrary library(L"TOVRAMIX.DLL");
  kv::Form_Load(platform, form, library);
  form.Show(showCommand);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
