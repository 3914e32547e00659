// A message hook that runs inside the program under test and reads what only that process
// can read.
#include "probe.h"

#include <string>

#include "imports.h"

namespace {

void Reply(LPARAM replyTo, kv::probe::Reply kind, const void* data, DWORD size) {
  COPYDATASTRUCT copy = {kind, size, const_cast<void*>(data)};
  SendMessageW(reinterpret_cast<HWND>(replyTo), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}

BOOL CALLBACK FindIcon(HWND child, LPARAM answer) {
  auto* box = reinterpret_cast<kv::probe::BoxAnswer*>(answer);
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  if ((style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child)) {
    const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    if (icon) box->hasAnyIcon = TRUE;
    if (icon && icon == LoadIconW(nullptr, IDI_HAND)) box->hasStopIcon = TRUE;
  }
  return TRUE;
}

// The items of a popup menu window of this thread, each ended by a newline.
BOOL CALLBACK ReadMenu(HWND window, LPARAM items) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) != L"#32768" || !IsWindowVisible(window)) return TRUE;
  const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    *reinterpret_cast<std::wstring*>(items) += std::wstring(text) + L"\n";
  }
  return FALSE;
}

kv::probe::FontCounts fonts = {};

HFONT WINAPI CountCreateFont(const LOGFONTW* font) {
  const HFONT created = CreateFontIndirectW(font);
  if (created) ++fonts.created;
  return created;
}

BOOL WINAPI CountDeleteObject(HGDIOBJ object) {
  const bool font = GetObjectType(object) == OBJ_FONT;
  const BOOL deleted = DeleteObject(object);
  if (deleted && font) ++fonts.deleted;
  return deleted;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    ProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT askFont = RegisterWindowMessageW(kv::probe::kAskFont);
  static const UINT askBox = RegisterWindowMessageW(kv::probe::kAskBox);
  static const UINT askErrorMode = RegisterWindowMessageW(kv::probe::kAskErrorMode);
  static const UINT askFonts = RegisterWindowMessageW(kv::probe::kAskFonts);
  static const UINT askDpiChange = RegisterWindowMessageW(kv::probe::kAskDpiChange);
  static const UINT askMenu = RegisterWindowMessageW(kv::probe::kAskMenu);
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == askFont) {
    LOGFONTW font = {};
    const auto handle = reinterpret_cast<HGDIOBJ>(SendMessageW(msg->hwnd, WM_GETFONT, 0, 0));
    if (handle) GetObjectW(handle, sizeof font, &font);
    Reply(msg->lParam, kv::probe::kFontReply, &font, sizeof font);
  } else if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == askBox) {
    kv::probe::BoxAnswer box = {};
    EnumChildWindows(msg->hwnd, FindIcon, reinterpret_cast<LPARAM>(&box));
    box.waitCursor = GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
    Reply(msg->lParam, kv::probe::kBoxReply, &box, sizeof box);
  } else if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == askErrorMode) {
    const UINT mode = GetErrorMode();
    Reply(msg->lParam, kv::probe::kErrorModeReply, &mode, sizeof mode);
  } else if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == askFonts) {
    // Until the probe leaves the program, which takes its pointers back first.
    static const kv::test::ImportPatch create(GetModuleHandleW(nullptr), "gdi32.dll",
                                              "CreateFontIndirectW",
                                              reinterpret_cast<void*>(&CountCreateFont));
    static const kv::test::ImportPatch remove(GetModuleHandleW(nullptr), "gdi32.dll",
                                              "DeleteObject",
                                              reinterpret_cast<void*>(&CountDeleteObject));
    const bool counting = create.patched() && remove.patched();
    const kv::probe::FontCounts counts = counting ? fonts : kv::probe::FontCounts{-1, -1};
    Reply(msg->lParam, kv::probe::kFontsReply, &counts, sizeof counts);
  } else if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == askDpiChange) {
    const int newDpi = LOWORD(msg->wParam), oldDpi = HIWORD(msg->wParam);
    RECT suggested = {};
    GetWindowRect(msg->hwnd, &suggested);
    suggested.right = suggested.left + MulDiv(suggested.right - suggested.left, newDpi, oldDpi);
    suggested.bottom = suggested.top + MulDiv(suggested.bottom - suggested.top, newDpi, oldDpi);
    SendMessageW(msg->hwnd, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
                 reinterpret_cast<LPARAM>(&suggested));
    Reply(msg->lParam, kv::probe::kDpiChangedReply, &newDpi, sizeof newDpi);
  } else if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == askMenu) {
    std::wstring items;
    EnumThreadWindows(GetCurrentThreadId(), ReadMenu, reinterpret_cast<LPARAM>(&items));
    Reply(msg->lParam, kv::probe::kMenuReply, items.data(),
          static_cast<DWORD>(items.size() * sizeof(wchar_t)));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
