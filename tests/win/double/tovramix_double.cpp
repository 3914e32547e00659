// A scripted stand-in for the firmware-access library, for tests and the demo. It reads
// TOVRAMIX.ini beside itself, section [double]:
//   BuildResult, BiosResult   the 16-bit results (default 0)
//   Build, Piece1 .. Piece9   the exact bytes to write over the start of each buffer, as hex
//                             (at most the buffer's length and its NUL slot)
//   DelayMs                   how long each call takes
//   Observe=1                 append "<call> cursor=wait|other" for each call to TOVRAMIX.log
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

HMODULE self = nullptr;

std::wstring Beside(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(self, path, MAX_PATH);
  std::wstring dir = path;
  return dir.substr(0, dir.find_last_of(L'\\') + 1) + name;
}

std::wstring Setting(const wchar_t* key) {
  wchar_t value[4096] = {};
  GetPrivateProfileStringW(L"double", key, L"", value, 4096, Beside(L"TOVRAMIX.ini").c_str());
  return value;
}

int Number(const wchar_t* key) { return static_cast<int>(wcstol(Setting(key).c_str(), nullptr, 0)); }

void Write(const wchar_t* key, char* buffer, std::size_t length) {
  const std::wstring hex = Setting(key);
  std::size_t written = 0;
  for (std::size_t i = 0; i + 1 < hex.size() && written <= length; i += 2) {
    buffer[written++] = static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
}

void Observe(const char* call) {
  Sleep(static_cast<DWORD>(Number(L"DelayMs")));
  if (Number(L"Observe") == 0) return;
  const bool wait = GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
  FILE* log = _wfopen(Beside(L"TOVRAMIX.log").c_str(), L"a");
  if (!log) return;
  std::fprintf(log, "%s cursor=%s\n", call, wait ? "wait" : "other");
  std::fclose(log);
}

}  // namespace

extern "C" std::int16_t WINAPI DLL_GET_HARD_DISK_BUILD_ID(char* build) {
  Observe("build");
  Write(L"Build", build, 10);
  return static_cast<std::int16_t>(Number(L"BuildResult"));
}

#ifndef WITHOUT_BIOS_PIECES
extern "C" std::int16_t WINAPI DLL_GET_BIOS_STRING_PIECES(char* p1, char* p2, char* p3, char* p4,
                                                         char* p5, char* p6, char* p7, char* p8,
                                                         char* p9) {
  Observe("bios");
  char* pieces[] = {p1, p2, p3, p4, p5, p6, p7, p8, p9};
  const std::size_t lengths[] = {12, 12, 10, 26, 18, 10, 12, 6, 4};
  for (int i = 0; i < 9; ++i) {
    const std::wstring key = L"Piece" + std::to_wstring(i + 1);
    Write(key.c_str(), pieces[i], lengths[i]);
  }
  return static_cast<std::int16_t>(Number(L"BiosResult"));
}
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}
