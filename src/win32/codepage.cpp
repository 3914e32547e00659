#include "win32/codepage.h"

#include <windows.h>

#include <limits>

namespace kv::win32 {
namespace {

int Length(std::size_t size) {
  return size > static_cast<std::size_t>(std::numeric_limits<int>::max()) ? 0
                                                                          : static_cast<int>(size);
}

}  // namespace

std::string ToAnsi(std::wstring_view text) {
  const int length = Length(text.size());
  if (length == 0) return {};
  const int size =
      WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), size, nullptr, nullptr);
  }
  return out;
}

std::size_t WholeCharacters(std::string_view bytes, std::size_t limit) {
  std::size_t whole = 0;
  while (whole < bytes.size()) {
    const bool pair = IsDBCSLeadByte(static_cast<BYTE>(bytes[whole])) && whole + 1 < bytes.size();
    const std::size_t next = whole + (pair ? 2 : 1);
    if (next > limit) break;
    whole = next;
  }
  return whole;
}

std::wstring FromAnsi(std::string_view bytes) {
  // A lead byte without a valid trail byte after it (a value cut in the middle of a
  // character, or one followed by its NUL or fill) is no character: it is dropped, not
  // shown as a stand-in.
  std::string whole;
  whole.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(bytes[i]))) {
      wchar_t pair = 0;
      if (i + 1 == bytes.size() ||
          MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data() + i, 2, &pair, 1) != 1) {
        continue;
      }
      whole += bytes[i++];
    }
    whole += bytes[i];
  }
  const int length = Length(whole.size());
  if (length == 0) return {};
  const int size = MultiByteToWideChar(CP_ACP, 0, whole.data(), length, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, whole.data(), length, out.data(), size);
  return out;
}

}  // namespace kv::win32
