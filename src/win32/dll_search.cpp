#include "win32/dll_search.h"

#include <windows.h>

#include <string>

namespace kv::win32 {

bool KeepCurrentDirectoryOutOfDllSearch() {
  // A DLL directory takes the current directory's place in the search. The empty one
  // would do on Windows, but some loaders take it for none; the program's own folder,
  // searched first anyway, changes nothing else.
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
         path.size()) {
    path.resize(path.size() * 2);
  }
  path.resize(length);
  const std::size_t slash = path.find_last_of(L'\\');
  return SetDllDirectoryW(slash == std::wstring::npos ? L"" : path.substr(0, slash).c_str()) !=
         FALSE;
}

}  // namespace kv::win32
