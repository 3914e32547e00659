#pragma once

namespace kv {

inline constexpr wchar_t kSettingsFileName[] = L"Quorin.ini";
inline constexpr wchar_t kScreenSection[] = L"Screen";

}  // namespace kv
