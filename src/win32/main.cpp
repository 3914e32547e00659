#include <windows.h>

#include <exception>
#include <string>

#include "app/form_kvinfo.h"
#include "app/startup.h"
#include "win32/dll_search.h"
#include "win32/identity_library.h"
#include "win32/main_window.h"
#include "win32/win32_platform.h"
#include "window/copying.h"

namespace {

int Run(HINSTANCE instance, int showCommand) {
  kv::win32::KeepCurrentDirectoryOutOfDllSearch();

  kv::win32::MainWindow form(instance);
  kv::win32::Win32Platform platform(form.hwnd(), kv::kDefaultAppTitle);
  kv::win32::DllIdentityLibrary library(L"TOVRAMIX.DLL");
  kv::FormKVInfo events(form, platform, library);
  events.Form_Load();
  form.OnKeyDown([&](int keyCode, int shift) { events.Form_KeyDown(keyCode, shift); });
  form.OfferCopies(kv::LoadMenuTexts(platform),
                   [&](const kv::CopyCommand& command) { kv::Copy(form, platform, command); });
  form.Show(showCommand);

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
