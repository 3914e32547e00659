#pragma once

#include <string>

namespace kv {

// The settings file's name, its sections and the keys read apart from the captions', which
// the window's fields name.
inline constexpr wchar_t kSettingsFileName[] = L"Quorin.ini";
inline constexpr wchar_t kScreenSection[] = L"Screen";
inline constexpr wchar_t kWindowTitleKey[] = L"WindowTitle";
inline constexpr wchar_t kUseDbKey[] = L"UseDB";
inline constexpr wchar_t kWidthKey[] = L"Width";
inline constexpr wchar_t kMenuSection[] = L"Menu";
inline constexpr wchar_t kCopyValueKey[] = L"CopyValue";
inline constexpr wchar_t kCopySupportIdKey[] = L"CopySupportID";
inline constexpr wchar_t kCopyAllKey[] = L"CopyAll";

// The settings file in a folder. The separator goes in whatever the folder ends with: a root
// gives two in a row.
inline std::wstring SettingsPathIn(const std::wstring& folder) {
  return folder + L"\\" + kSettingsFileName;
}

}  // namespace kv
