#pragma once

#include <windows.h>

// What the in-process probe answers. Font, icon and cursor handles mean something only inside
// their own process, so the probe reads them there and sends the answer back with WM_COPYDATA.
namespace kv::probe {

// Registered message names; posted to a window of the program with the reply window in
// lParam.
inline constexpr wchar_t kAskFont[] = L"Quorin.Probe.Font";            // to a label
inline constexpr wchar_t kAskBox[] = L"Quorin.Probe.Box";              // to a message box
inline constexpr wchar_t kAskErrorMode[] = L"Quorin.Probe.ErrorMode";  // to any window
// To any window: the fonts the program has created and deleted since it was first asked. The
// first question points the program's imports of CreateFontIndirectW and DeleteObject at the
// probe, which counts each call that succeeds.
inline constexpr wchar_t kAskFonts[] = L"Quorin.Probe.Fonts";
// To the main window, with MAKEWPARAM(new DPI, old DPI): sends it WM_DPICHANGED from its own
// thread, with the rectangle Windows would suggest (its own, scaled by new / old).
inline constexpr wchar_t kAskDpiChange[] = L"Quorin.Probe.DpiChange";
// To any window: the items of the program's open popup menu, each ended by a newline.
inline constexpr wchar_t kAskMenu[] = L"Quorin.Probe.Menu";

struct FontCounts {
  LONG created;
  LONG deleted;
};

struct BoxAnswer {
  BOOL hasStopIcon;
  BOOL hasAnyIcon;
  BOOL waitCursor;
};

enum Reply : ULONG_PTR {
  kFontReply = 1,
  kBoxReply = 2,
  kErrorModeReply = 3,
  kFontsReply = 4,
  kDpiChangedReply = 5,
  kMenuReply = 6
};

}  // namespace kv::probe
