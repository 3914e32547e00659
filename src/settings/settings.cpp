#include "settings/settings.h"

#include <algorithm>

#include "core/text.h"

namespace kv {

SettingBuffer ReadSetting(Startup& s, const std::wstring& file, const wchar_t* section,
                          const wchar_t* key, const wchar_t* fallback) {
  SettingBuffer read;
  s.policy.Step([&] { read.bytes.assign(kReadBufferSize, ' '); });
  s.policy.Step([&] {
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

std::wstring ReadScreenText(Startup& s, const wchar_t* key) {
  const SettingBuffer read = ReadSetting(s, s.settingsPath, kScreenSection, key, L"");
  std::wstring text;
  s.policy.Step([&] { text = CutByCount(s.platform, read); });
  return text;
}

void SetSingleByteFont(Startup& s, Label label) {
  s.policy.Step([&] { s.form.SetLabelFontName(label, L"Arial"); });
  s.policy.Step([&] { s.form.SetLabelFontSize(label, 14.0f); });
}

void LoadWindowTitle(Startup& s) {
  const std::wstring title = ReadScreenText(s, L"WindowTitle");
  std::wstring useDb = ReadScreenText(s, L"UseDB");
  s.policy.Step([&] { useDb = AsciiLower(useDb); });
  if (s.policy.Test([&] { return useDb == L"true"; })) {
    s.policy.Step([&] { s.form.SetCaption(s.platform.ToFullWidth(title)); });
  } else {
    s.policy.Step([&] { s.SingleByteMode = true; });
    s.policy.Step([&] { s.form.SetCaption(title); });
  }
  s.policy.Step([&] { s.platform.SetAppTitle(s.form.Caption()); });
}

}  // namespace kv
