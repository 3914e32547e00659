// A scripted stand-in for the firmware-access library, for tests, the demo and the
// start-up benchmark. It reads TOVRAMIX.ini beside itself, section [double]:
//   BuildResult, BiosResult   the 16-bit results (default 0)
//   Build, Piece1 .. Piece9   the exact bytes to write over the start of each buffer, as hex
//                             (at most the buffer's length and its NUL slot)
//   DelayMs                   how long each call takes
//   Observe=1                 append "<call> cursor=wait|other" for each call to TOVRAMIX.log
// The script is read once, at the first call, so that the stand-in costs the program under
// measurement next to nothing; it uses no C++ library for the same reason.
// Each buffer must come in as the interface has it: its length in spaces, then a NUL. A
// caller that breaks that is logged as "contract" in TOVRAMIX.log and ended with exit code
// 86, so that every test of it fails.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <iterator>

#include "library_abi.h"

namespace {

HMODULE self = nullptr;

// Beside this library: its folder, then the name.
void Beside(const wchar_t* name, wchar_t (&path)[MAX_PATH]) {
  const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    path[0] = L'\0';
    return;
  }
  wchar_t* slash = std::wcsrchr(path, L'\\');
  wchar_t* end = slash ? slash + 1 : path;
  const std::size_t room = MAX_PATH - static_cast<std::size_t>(end - path);
  if (std::wcslen(name) >= room) {
    path[0] = L'\0';
    return;
  }
  std::wcscpy(end, name);
}

static_assert(kv::abi::kPieceCount <= 9, "the script names each piece by one digit");

struct Script {
  bool read = false;
  int buildResult = 0;
  int biosResult = 0;
  int delayMs = 0;
  bool observe = false;
  // The hex text of Build (0) and Piece1 .. Piece9 (1 .. 9).
  wchar_t hex[1 + kv::abi::kPieceCount][512] = {};
};

Script script;

int Number(const wchar_t* text) {
  return static_cast<int>(std::wcstol(text, nullptr, 0));
}

void ReadScript() {
  if (script.read) return;
  script.read = true;
  wchar_t path[MAX_PATH];
  Beside(L"TOVRAMIX.ini", path);
  // key=value pairs, each ended by a NUL, the whole ended by another.
  static wchar_t section[32768];
  GetPrivateProfileSectionW(L"double", section, 32768, path);
  for (wchar_t* entry = section; *entry; entry += std::wcslen(entry) + 1) {
    wchar_t* equals = std::wcschr(entry, L'=');
    if (!equals) continue;
    *equals = L'\0';
    const wchar_t* value = equals + 1;
    wchar_t* target = nullptr;
    if (_wcsicmp(entry, L"BuildResult") == 0) {
      script.buildResult = Number(value);
    } else if (_wcsicmp(entry, L"BiosResult") == 0) {
      script.biosResult = Number(value);
    } else if (_wcsicmp(entry, L"DelayMs") == 0) {
      script.delayMs = Number(value);
    } else if (_wcsicmp(entry, L"Observe") == 0) {
      script.observe = Number(value) != 0;
    } else if (_wcsicmp(entry, L"Build") == 0) {
      target = script.hex[0];
    } else if (_wcsnicmp(entry, L"Piece", 5) == 0 && entry[5] >= L'1' && entry[5] <= L'9' &&
               entry[6] == L'\0') {
      target = script.hex[entry[5] - L'0'];
    }
    if (target) wcsncpy(target, value, 511);
    *equals = L'=';
  }
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// Writes the scripted bytes: at most the buffer's length and its NUL slot.
void Write(const wchar_t* hex, char* buffer, std::size_t length) {
  std::size_t written = 0;
  for (const wchar_t* p = hex; p[0] && p[1] && written <= length; p += 2) {
    const int high = HexDigit(p[0]);
    const int low = HexDigit(p[1]);
    if (high < 0 || low < 0) return;
    buffer[written++] = static_cast<char>(high * 16 + low);
  }
}

constexpr UINT kBrokenContract = 86;
// What each buffer must be, written out here rather than taken from the interface's header,
// so that a wrong length there cannot agree with itself.
constexpr std::size_t kBuildLength = 10;
constexpr std::size_t kPieceLengths[] = {12, 12, 10, 26, 18, 10, 12, 6, 4};

void Log(const char* line) {
  wchar_t path[MAX_PATH];
  Beside(L"TOVRAMIX.log", path);
  FILE* log = _wfopen(path, L"a");
  if (!log) return;
  std::fprintf(log, "%s\n", line);
  std::fclose(log);
}

void CheckLent(const char* buffer, std::size_t length) {
  bool sound = buffer != nullptr && buffer[length] == '\0';
  for (std::size_t i = 0; sound && i < length; ++i) sound = buffer[i] == ' ';
  if (sound) return;
  Log("contract: a buffer is not its length in spaces and a NUL");
  ExitProcess(kBrokenContract);
}

void Observe(const char* call) {
  ReadScript();
  if (script.delayMs > 0) Sleep(static_cast<DWORD>(script.delayMs));
  if (!script.observe) return;
  char line[64];
  std::snprintf(line, sizeof line, "%s cursor=%s", call,
                GetCursor() == LoadCursorW(nullptr, IDC_WAIT) ? "wait" : "other");
  Log(line);
}

}  // namespace

extern "C" std::int16_t KV_ABI_CALL DLL_GET_HARD_DISK_BUILD_ID(char* build) {
  CheckLent(build, kBuildLength);
  Observe("build");
  Write(script.hex[0], build, kv::abi::kBuildLength);
  return static_cast<std::int16_t>(script.buildResult);
}

#ifndef WITHOUT_BIOS_PIECES
extern "C" std::int16_t KV_ABI_CALL DLL_GET_BIOS_STRING_PIECES(char* p1, char* p2, char* p3,
                                                               char* p4, char* p5, char* p6,
                                                               char* p7, char* p8, char* p9) {
  char* pieces[] = {p1, p2, p3, p4, p5, p6, p7, p8, p9};
  for (std::size_t i = 0; i < std::size(kPieceLengths); ++i) {
    CheckLent(pieces[i], kPieceLengths[i]);
  }
  Observe("bios");
  for (std::size_t i = 0; i < kv::abi::kPieceCount; ++i) {
    Write(script.hex[i + 1], pieces[i], kv::abi::kPieceLengths[i]);
  }
  return static_cast<std::int16_t>(script.biosResult);
}
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}
