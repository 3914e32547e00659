#pragma once

#include <cstddef>
#include <string>

#include "core/display_mode.h"
#include "core/step_context.h"
#include "settings/settings_file.h"

namespace kv {

inline constexpr std::size_t kReadBufferSize = 105;

// A profile read as it left its buffer: the copied text, a NUL, then the untouched spaces.
struct SettingBuffer {
  std::string bytes;
  std::size_t count = 0;
  bool complete = false;  // the buffer was filled and the read went through
};

// Fills a fresh buffer with spaces and reads one key into it: two guarded steps.
SettingBuffer ReadSetting(StepContext& s, const std::wstring& file, const wchar_t* section,
                          const wchar_t* key, const wchar_t* fallback);

// Exactly the text that the read copied, never the NUL or the fill behind it.
std::wstring CutByCount(const Platform& platform, const SettingBuffer& read);
// The first 10 characters of the buffer, whatever they are.
std::wstring CutFirst10(const Platform& platform, const SettingBuffer& read);

// Reads a key of section Screen of the settings file and cuts it by count: three steps.
std::wstring ReadScreenText(StepContext& s, const wchar_t* key);

// Reads WindowTitle and UseDB, settles the display mode and sets the window and
// application titles.
void LoadWindowTitle(StepContext& s);

// The texts of the copy menus' items: "Copy value", "Copy support ID" and "Copy all", or the
// user's own, from section Menu of the settings.
struct MenuTexts {
  std::wstring copyValue = L"Copy value";
  std::wstring copySupportId = L"Copy support ID";
  std::wstring copyAll = L"Copy all";
};

// Reads keys CopyValue, CopySupportID and CopyAll of the settings file, apart from the
// start-up's steps: a key that is missing, empty or cannot be read keeps its English text. The
// texts are shown as given, in either display mode.
MenuTexts LoadMenuTexts(Platform& platform, const std::wstring& settingsPath);

}  // namespace kv
