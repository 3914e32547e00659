#pragma once

#include <cstddef>
#include <string>

#include "app/startup.h"

namespace kv {

inline constexpr std::size_t kReadBufferSize = 105;
inline constexpr wchar_t kSettingsFileName[] = L"Quorin.ini";
inline constexpr wchar_t kScreenSection[] = L"Screen";
inline constexpr wchar_t kDefaultAppTitle[] = L"Quorin";

// A profile read as it left its buffer: the copied text, a NUL, then the untouched spaces.
struct SettingBuffer {
  std::string bytes;
  std::size_t count = 0;
  bool complete = false;  // the buffer was filled and the read went through
};

// Fills a fresh buffer with spaces and reads one key into it: two guarded steps.
SettingBuffer ReadSetting(Startup& s, const std::wstring& file, const wchar_t* section,
                          const wchar_t* key, const wchar_t* fallback);

// Exactly the text that the read copied, never the NUL or the fill behind it.
std::wstring CutByCount(const Platform& platform, const SettingBuffer& read);
// The first 10 characters of the buffer, whatever they are.
std::wstring CutFirst10(const Platform& platform, const SettingBuffer& read);

// Reads a key of section Screen of the settings file and cuts it by count: three steps.
std::wstring ReadScreenText(Startup& s, const wchar_t* key);

// Sets a label to the single-byte font, name then size: two steps.
void SetSingleByteFont(Startup& s, Label label);

// Reads WindowTitle and UseDB, settles the display mode and sets the window and
// application titles.
void LoadWindowTitle(Startup& s);

}  // namespace kv
