#include "win32/win32_platform.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/app_error.h"
#include "win32/codepage.h"
#include "win32/cursor.h"
#include "win32/version_layout.h"

namespace kv::win32 {
namespace {

constexpr wchar_t kInstanceMutexName[] = L"Quorin.KVInfo.Instance";

// Which of the record's four fields holds each number: where the layout puts it.
constexpr int kFieldNumbers[] = {KV_FILE_VERSION(1, 2, 3)};
constexpr std::size_t FieldOf(int number) {
  std::size_t field = 0;
  while (field < std::size(kFieldNumbers) && kFieldNumbers[field] != number) ++field;
  return field;
}
constexpr std::size_t kMajorField = FieldOf(1), kMinorField = FieldOf(2),
                      kRevisionField = FieldOf(3);
static_assert(std::size(kFieldNumbers) == 4 && kMajorField < 4 && kMinorField < 4 &&
              kRevisionField < 4);
// Another program may hold the clipboard for a moment; the user is not kept waiting longer.
constexpr int kClipboardAttempts = 10;
constexpr DWORD kClipboardRetryMs = 20;

}  // namespace

bool Win32Platform::OtherInstanceRunning() {
  instanceMutex_.reset(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
  return GetLastError() == ERROR_ALREADY_EXISTS;
}

void Win32Platform::SetWaitCursor() {
  ShowWaitCursor(true);
}

void Win32Platform::ResetCursor() {
  ShowWaitCursor(false);
}

std::wstring Win32Platform::CurrentDirectory() {
  std::wstring directory;
  DWORD size = MAX_PATH;
  for (;;) {
    directory.resize(size);
    const DWORD length = GetCurrentDirectoryW(size, directory.data());
    if (length == 0) throw AppError(kPathAccess);
    if (length < size) {
      directory.resize(length);
      return directory;
    }
    size = length;
  }
}

std::wstring Win32Platform::FindFileName(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  const auto find = AdoptFind(FindFirstFileW(path.c_str(), &found));
  if (!find) {
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_NO_MORE_FILES:
        return {};
      case ERROR_INVALID_NAME:
      case ERROR_BAD_PATHNAME:
      case ERROR_FILENAME_EXCED_RANGE:
        throw AppError(kBadFileName);
      default:
        throw AppError(kPathAccess);
    }
  }
  constexpr DWORD kNotOrdinary =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
  if (found.dwFileAttributes & kNotOrdinary) return {};
  return found.cFileName;
}

std::size_t Win32Platform::ReadProfileString(const std::wstring& file, const std::wstring& section,
                                             const std::wstring& key, const std::wstring& fallback,
                                             std::string& buffer) {
  if (buffer.empty()) return 0;
  // The wide read opens exactly the file that was looked up, whatever its folder is called;
  // an ANSI path could name another file, or none. The value is then handed over as the
  // ANSI read hands it: in the ANSI code page, whole characters up to the buffer's size less
  // one, a NUL, and the rest of the buffer as it was.
  std::wstring value(buffer.size(), L'\0');
  const DWORD length =
      GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(), value.data(),
                               static_cast<DWORD>(value.size()), file.c_str());
  value.resize(std::min<std::size_t>(length, value.size() - 1));
  const std::string bytes = ToAnsi(value);
  const std::size_t count = WholeCharacters(bytes, buffer.size() - 1);
  bytes.copy(buffer.data(), count);
  buffer[count] = '\0';
  return count;
}

std::wstring Win32Platform::FromAnsi(std::string_view bytes) const {
  return win32::FromAnsi(bytes);
}

std::wstring Win32Platform::ToFullWidth(const std::wstring& text) const {
  // Double-byte support is the ANSI code page's: the mapping itself exists everywhere.
  CPINFO info;
  if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize < 2) throw AppError(kInvalidCall);
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size =
      LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_FULLWIDTH, text.data(), length, nullptr, 0);
  if (size <= 0) throw AppError(kInvalidCall);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  if (LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_FULLWIDTH, text.data(), length, wide.data(), size) !=
      size) {
    throw AppError(kInvalidCall);
  }
  return wide;
}

void Win32Platform::ShowMessage(const std::wstring& text, const std::wstring& title,
                                MessageIcon icon) {
  const HWND owner = IsWindowVisible(owner_) ? owner_ : nullptr;
  MessageBoxW(owner, text.c_str(), title.c_str(),
              MB_OK | (icon == MessageIcon::kStop ? MB_ICONHAND : 0));
}

void Win32Platform::EndProgram(int exitCode) {
  ExitProcess(static_cast<UINT>(exitCode));
}

ProgramVersion Win32Platform::Version() const {
  // The version record straight from the program's own resources: no extra library to
  // load at start-up. It opens with its header and key, then, on a 4-byte boundary, the fixed
  // part.
  struct RecordHeader {
    WORD length, valueLength, type;
    WCHAR key[std::size(L"VS_VERSION_INFO")];
  };
  constexpr std::size_t kFixedOffset = (sizeof(RecordHeader) + 3) / 4 * 4;
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const auto* record = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
  if (!record || SizeofResource(nullptr, found) < kFixedOffset + sizeof(VS_FIXEDFILEINFO)) {
    throw AppError(kFileNotFound);
  }
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, record + kFixedOffset, sizeof fixed);
  if (fixed.dwSignature != VS_FFI_SIGNATURE) throw AppError(kFileNotFound);
  const int fields[] = {HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS),
                        HIWORD(fixed.dwFileVersionLS), LOWORD(fixed.dwFileVersionLS)};
  return {fields[kMajorField], fields[kMinorField], fields[kRevisionField]};
}

void Win32Platform::PutOnClipboard(const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  void* locked = memory ? GlobalLock(memory.get()) : nullptr;
  if (!locked) return;
  std::memcpy(locked, text.c_str(), bytes);
  GlobalUnlock(memory.get());
  for (int attempt = 0; attempt < kClipboardAttempts; ++attempt) {
    if (attempt > 0) Sleep(kClipboardRetryMs);
    const OpenedClipboard clipboard(owner_);
    if (!clipboard.opened()) continue;
    // Once the clipboard has taken the memory, it is the clipboard's to free.
    if (EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory.get())) {
      static_cast<void>(memory.release());
    }
    return;
  }
}

}  // namespace kv::win32
