#include "window/copying.h"

#include "core/app_error.h"
#include "core/text.h"
#include "settings/settings.h"
#include "window/form_operations.h"

namespace kv {
namespace {

// One key of section Menu; nothing where it has no text.
std::wstring MenuSetting(Platform& platform, const std::wstring& settingsPath, const wchar_t* key) {
  try {
    SettingBuffer read;
    read.bytes.assign(kReadBufferSize, ' ');
    read.count = platform.ReadProfileString(settingsPath, kMenuSection, key, L"", read.bytes);
    return CutByCount(platform, read);
  } catch (const AppError&) {
    return {};
  }
}

}  // namespace

std::wstring CopyCommand::Text(const WindowPort& form) const {
  if (!value_) return WindowText(form);
  return std::wstring(TrimBlanksAtEnd(form.LabelText(*value_)));
}

void Copy(const WindowPort& form, Platform& platform, const CopyCommand& command) {
  platform.PutOnClipboard(command.Text(form));
}

MenuTexts LoadMenuTexts(Platform& platform) {
  MenuTexts texts;
  std::wstring settingsPath;
  try {
    settingsPath = SettingsPathIn(platform.CurrentDirectory());
  } catch (const AppError&) {
    return texts;
  }
  for (auto [key, text] :
       {std::pair{L"CopyValue", &texts.copyValue},
        std::pair{L"CopySupportID", &texts.copySupportId}, std::pair{L"CopyAll", &texts.copyAll}}) {
    std::wstring read = MenuSetting(platform, settingsPath, key);
    if (!read.empty()) *text = std::move(read);
  }
  return texts;
}

}  // namespace kv
