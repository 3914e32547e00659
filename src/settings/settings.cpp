#include "settings/settings.h"

#include <algorithm>

#include "core/app_error.h"
#include "core/text.h"

namespace kv {

SettingBuffer ReadSetting(StepContext& s, const std::wstring& file, const wchar_t* section,
                          const wchar_t* key, const wchar_t* fallback) {
  SettingBuffer read;
  s.policy.Step("fill read buffer", [&] { read.bytes.assign(kReadBufferSize, ' '); });
  s.policy.Step("profile read", [&] {
    read.count = s.platform.ReadProfileString(file, section, key, fallback, read.bytes);
    read.complete = !read.bytes.empty();
  });
  return read;
}

std::wstring CutByCount(const Platform& platform, const SettingBuffer& read) {
  // The count comes from outside: never past the buffer, and never over the NUL slot.
  const std::size_t room = read.bytes.empty() ? 0 : read.bytes.size() - 1;
  const std::size_t count = std::min(read.count, room);
  return platform.FromAnsi(std::string_view(read.bytes).substr(0, count));
}

std::wstring CutFirst10(const Platform& platform, const SettingBuffer& read) {
  return platform.FromAnsi(read.bytes).substr(0, 10);
}

std::wstring ReadScreenText(StepContext& s, const wchar_t* key) {
  const SettingBuffer read = ReadSetting(s, s.settingsPath, kScreenSection, key, L"");
  std::wstring text;
  s.policy.Step("cut by count", [&] { text = CutByCount(s.platform, read); });
  return text;
}

void LoadWindowTitle(StepContext& s) {
  const std::wstring title = ReadScreenText(s, kWindowTitleKey);
  std::wstring useDb = ReadScreenText(s, kUseDbKey);
  s.policy.Step("lower-case UseDB", [&] { useDb = AsciiLower(useDb); });
  if (s.policy.Test("UseDB comparison", [&] { return useDb == L"true"; })) {
    s.policy.Step("full-width caption",
                  [&] { s.form.SetCaption(DisplayMode::DoubleByte().Shown(s.platform, title)); });
  } else {
    // The flag first, then the caption.
    s.policy.Step("single-byte mode", [&] { s.SingleByteMode = true; });
    s.policy.Step("caption", [&] { s.form.SetCaption(title); });
  }
  s.policy.Step("application title", [&] { s.platform.SetAppTitle(s.form.Caption()); });
}

MenuTexts LoadMenuTexts(Platform& platform, const std::wstring& settingsPath) {
  MenuTexts texts;
  for (auto [key, text] : {std::pair{kCopyValueKey, &texts.copyValue},
                           std::pair{kCopySupportIdKey, &texts.copySupportId},
                           std::pair{kCopyAllKey, &texts.copyAll}}) {
    try {
      SettingBuffer read;
      read.bytes.assign(kReadBufferSize, ' ');
      read.count = platform.ReadProfileString(settingsPath, kMenuSection, key, L"", read.bytes);
      std::wstring cut = CutByCount(platform, read);
      if (!cut.empty()) *text = std::move(cut);
    } catch (const AppError&) {
      // The English text stays.
    }
  }
  return texts;
}

}  // namespace kv
