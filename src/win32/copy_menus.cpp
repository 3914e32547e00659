#include "win32/copy_menus.h"

#include <string>

#include "win32/handles.h"
#include "win32/system_error.h"
#include "window/label_rules.h"

namespace kv::win32 {
namespace {

// The copy menu's items; the system menu's, below the system's own, has its low four bits
// free for the system's use.
constexpr UINT kCopyValueItem = 1, kCopySupportIdItem = 2, kCopyAllItem = 3;
constexpr UINT kSystemCopyAllItem = 0x0010;
constexpr UINT kSystemCommandMask = 0xFFF0;
// The key that copies all, shown beside the items that do the same.
constexpr wchar_t kCopyAllShortcut[] = L"Ctrl+C";

void Append(HMENU menu, UINT flags, UINT item, const std::wstring& text, const wchar_t* shortcut) {
  // A menu item's text as a label would show it, with the shortcut key beside it where it has one.
  const std::wstring shown = ShownText(text) + (shortcut ? std::wstring(L"\t") + shortcut : L"");
  if (!AppendMenuW(menu, flags, item, shown.c_str())) {
    throw SystemError("adding a copy item", GetLastError());
  }
}

void AppendSeparator(HMENU menu) {
  if (!AppendMenuW(menu, MF_SEPARATOR, 0, nullptr)) {
    throw SystemError("adding a separator", GetLastError());
  }
}

}  // namespace

ContextMenuPoint ContextMenuPoint::Of(LPARAM lParam) {
  const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (point.x == -1 && point.y == -1) return {};
  return {point};
}

CopyMenus::CopyMenus(HWND window, MenuTexts texts, CopyHandler onCopy)
    : window_(window), texts_(std::move(texts)), onCopy_(std::move(onCopy)) {
  const HMENU system = GetSystemMenu(window_, FALSE);
  if (!system) throw SystemError("reading the system menu", GetLastError());
  AppendSeparator(system);
  Append(system, MF_STRING, kSystemCopyAllItem, texts_.copyAll, kCopyAllShortcut);
}

void CopyMenus::Show(POINT screen, std::optional<Label> rowValue) const {
  const UniqueMenu menu(CreatePopupMenu());
  if (!menu) throw SystemError("making the copy menu", GetLastError());
  if (rowValue) Append(menu.get(), MF_STRING, kCopyValueItem, texts_.copyValue, nullptr);
  Append(menu.get(), MF_STRING, kCopySupportIdItem, texts_.copySupportId, nullptr);
  AppendSeparator(menu.get());
  Append(menu.get(), MF_STRING, kCopyAllItem, texts_.copyAll, kCopyAllShortcut);
  // Nothing chosen (Escape, a click elsewhere) is 0, and changes nothing.
  switch (TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                         screen.x, screen.y, 0, window_, nullptr)) {
    case kCopyValueItem:
      onCopy_(CopyCommand::ValueOf(*rowValue));
      break;
    case kCopySupportIdItem:
      onCopy_(CopyCommand::ValueOf(Label::LabelSupportIDContent));
      break;
    case kCopyAllItem:
      onCopy_(CopyCommand::All());
      break;
    default:
      break;
  }
}

bool CopyMenus::SystemCommand(WPARAM command) const {
  if ((command & kSystemCommandMask) != kSystemCopyAllItem) return false;
  onCopy_(CopyCommand::All());
  return true;
}

}  // namespace kv::win32
