#pragma once

namespace kv {

inline constexpr wchar_t kSettingsFileName[] = L"Quorin.ini";
inline constexpr wchar_t kScreenSection[] = L"Screen";
// The application title until the settings give one.
inline constexpr wchar_t kDefaultAppTitle[] = L"Quorin";

}  // namespace kv
