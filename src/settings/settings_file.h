#pragma once

#include <string>

namespace kv {

inline constexpr wchar_t kSettingsFileName[] = L"Quorin.ini";
inline constexpr wchar_t kScreenSection[] = L"Screen";

// The settings file in a folder. The separator goes in whatever the folder ends with: a root
// gives two in a row.
inline std::wstring SettingsPathIn(const std::wstring& folder) {
  return folder + L"\\" + kSettingsFileName;
}

}  // namespace kv
