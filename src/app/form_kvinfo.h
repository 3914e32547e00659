#pragma once

#include <string>

#include "core/error_policy.h"
#include "core/ports.h"
#include "settings/settings.h"

namespace kv {

// The application title until the settings give one: the missing-settings message carries it.
inline constexpr wchar_t kDefaultAppTitle[] = L"Quorin";

inline constexpr int kExitSecondInstance = 0;
inline constexpr int kExitSettingsMissing = 1;
inline constexpr int kExitCannotStart = 3;

// The main window: its events and the operation it offers to other code, on the window as
// the platform shows it. The text operations FormatServiceID and ToJulian, which need no
// window, are functions of their own (identity/).
class FormKVInfo {
 public:
  // The fault hook, for tests, is told of each step the start-up's error policy runs.
  FormKVInfo(WindowPort& window, Platform& platform, IdentityLibrary& library,
             ErrorPolicy::FaultHook faultHook = {})
      : window_(window), platform_(platform), library_(library), faultHook_(std::move(faultHook)) {}

  // The load event: the whole start-up sequence, before the window first shows. Its working
  // data lives only as long as this call, but for the menus' texts, read with the settings.
  void Form_Load();
  const MenuTexts& MenuItemTexts() const { return menuTexts_; }

  // The key-down event: Ctrl+Shift+B (Alt not held) shows the version box, titled with the
  // window's current title; Ctrl+C alone puts the window's text on the clipboard.
  void Form_KeyDown(int KeyCode, int Shift);

  // Shows, once, the font name of the first label in window order whose font is named
  // exactly "Gothic". Changes nothing; FontName is not read.
  void ChangeFont(const std::wstring& FontName);

 private:
  WindowPort& window_;
  Platform& platform_;
  IdentityLibrary& library_;
  ErrorPolicy::FaultHook faultHook_;
  MenuTexts menuTexts_;
};

}  // namespace kv
