#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <utility>

#include "core/ports.h"
#include "settings/settings.h"
#include "window/copying.h"

namespace kv::win32 {

// Where WM_CONTEXTMENU asks for the menu: at a point of the screen, or from the keyboard
// (Shift+F10, the Menu key), which has none.
struct ContextMenuPoint {
  std::optional<POINT> screen;

  static ContextMenuPoint Of(LPARAM lParam);
};

// The copy menus of a window, in the texts of the settings: one at the pointer or the keyboard,
// made each time it opens, and an item of the system menu.
class CopyMenus {
 public:
  using CopyHandler = std::function<void(const CopyCommand& command)>;

  // Adds the system menu's item; raises where it cannot.
  CopyMenus(HWND window, MenuTexts texts, CopyHandler onCopy);

  // Shows the copy menu at a point of the screen, with "Copy value" for the value label of the
  // row there, if any, and copies what is chosen. Raises where the menu cannot be made.
  void Show(POINT screen, std::optional<Label> rowValue) const;
  // Whether a WM_SYSCOMMAND is the system menu's copy, which it then runs.
  bool SystemCommand(WPARAM command) const;

 private:
  HWND window_;
  MenuTexts texts_;
  CopyHandler onCopy_;
};

}  // namespace kv::win32
