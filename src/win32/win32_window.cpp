#include "win32/win32_window.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/app_error.h"
#include "win32/cursor.h"
#include "win32/resource.h"
#include "win32/system_error.h"
#include "window/form_design.h"
#include "window/form_operations.h"
#include "window/label_rules.h"

namespace kv::win32 {
namespace {

constexpr wchar_t kClassName[] = L"FormKVInfo";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr int kDefaultDpi = 96;

// Raises when the class can be neither registered nor found registered already.
void RegisterWindowClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 32, 32, LR_SHARED));
  wc.hIconSm = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, LR_SHARED));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw SystemError("registering the window class", GetLastError());
  }
}

// A window's rectangle on the screen, for a step that cannot go on without it: raises when
// the system cannot give it (the window is gone).
RECT ScreenRectOf(HWND hwnd) {
  RECT rect = {};
  if (!GetWindowRect(hwnd, &rect)) throw AppError(kInternalError);
  return rect;
}

std::wstring TextOf(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  return text;
}

// The modifier state of a key event, as the key-down event takes it.
int ModifierState() {
  int state = 0;
  if (GetKeyState(VK_SHIFT) < 0) state |= kShiftMask;
  if (GetKeyState(VK_CONTROL) < 0) state |= kCtrlMask;
  if (GetKeyState(VK_MENU) < 0) state |= kAltMask;
  return state;
}

// What Windows offers from 10 version 1607 on, looked up where it is there: a program that
// imported them would not start on an older system.
template <class Function>
Function User32(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The screen's dots per inch, where the window has none of its own yet.
int ScreenDpi() {
  const UniqueScreenDc screen(GetDC(nullptr));
  return screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : kDefaultDpi;
}

}  // namespace

Win32Window::Win32Window(HINSTANCE instance) : dpi_(ScreenDpi()), fonts_(dpi_) {
  RegisterWindowClass(instance, &WindowProc);
  Create(instance, kClassName, kDesignCaption, kStyle, kExStyle, DesignOuterSize());
  try {
    CreateLabels(instance);
    // Where the monitor it starts on has a DPI of its own.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    if (const auto windowDpi = User32<GetDpiForWindowFunction>("GetDpiForWindow")) {
      const int dpi = static_cast<int>(windowDpi(hwnd()));
      if (dpi > 0 && dpi != dpi_) LayOut(dpi);
    }
  } catch (...) {
    Destroy();
    throw;
  }
}

void Win32Window::CreateLabels(HINSTANCE instance) {
  for (const LabelDesign& d : kLabelDesigns) {
    LabelWindow& label = At(d.id);
    label.box = DesignBox(d);
    label.textStyle = TextStyle(d.id, label.box, false);
    label.hwnd =
        CreateWindowExW(0, L"STATIC", d.text, kLabelStyle | label.textStyle, label.box.left,
                        label.box.top, label.box.width, label.box.height, hwnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(d.id)), instance, nullptr);
    if (!label.hwnd) throw SystemError("creating a label", GetLastError());
    label.fontName = kDesignFontName;
    label.fontSize = kDesignFontSize;
    ApplyFont(d.id);
  }
}

Win32Window::~Win32Window() {
  Destroy();
}

void Win32Window::Show(int showCommand) {
  shown_ = true;
  RECT rect = {};
  if (GetWindowRect(hwnd(), &rect)) {
    const int width = pendingWidth_ ? pendingWidth_ : rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    PlaceCentred(width, height);
    // The system keeps a window's size within its limits: centre what it kept.
    if (GetWindowRect(hwnd(), &rect) && rect.right - rect.left != width) {
      PlaceCentred(rect.right - rect.left, height);
    }
  }
  pendingWidth_ = 0;
  // The value labels at the width the window now has.
  LayOutPendingValues();
  ShowWindow(hwnd(), showCommand);
  UpdateWindow(hwnd());
}

void Win32Window::PlaceCentred(int width, int height) {
  SetWindowPos(hwnd(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window as a start at this DPI makes it, from the design values and what the start-up
// set: each label's font by its name and size, each label's box, the width by the start-up's
// rule (the design width where it set none) and the design's client height. Nothing is read
// again.
void Win32Window::LayOut(int dpi) {
  // Every font at the new DPI first: where one cannot be made, the window stays as it was.
  LabelFonts fonts(dpi);
  for (const LabelWindow& l : labels_) fonts.Font(l.fontName, l.fontSize);
  dpi_ = dpi;
  // The labels draw with the new fonts before the old ones go, with fonts, on return.
  std::swap(fonts_, fonts);
  for (const LabelDesign& d : kLabelDesigns) {
    const LabelBox box = DesignBox(d);
    Place(d.id, box, TextStyle(d.id, box, false));
    ApplyFont(d.id);
  }
  SIZE outer = DesignOuterSize();
  if (widthRule_) {
    try {
      outer.cx = WidthByRule(*widthRule_, [&] { return Twips(outer.cx); });
    } catch (const AppError&) {
      // A width this DPI cannot draw: the design's, as where the start-up could not set one.
    }
  }
  pendingWidth_ = 0;
  SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A frame drawn for another DPI than the window's (as Wine draws every frame at the
  // system's) would change the client height: the design's is kept.
  RECT client = {};
  const int height = ToPixels(kClientHeightTwips);
  if (GetClientRect(hwnd(), &client) && client.bottom != height) {
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy + height - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  LayOutAllValues();
}

void Win32Window::OfferCopies(const MenuTexts& texts, CopyMenus::CopyHandler handler) {
  menus_.emplace(hwnd(), texts, std::move(handler));
}

// The value label of the row whose caption or value is at a point of the client area; where
// two boxes overlap, the lower row's, whose text is there.
std::optional<Label> Win32Window::RowValueAt(POINT point) const {
  for (auto row = kFields.rbegin(); row != kFields.rend(); ++row) {
    for (const Label label : {row->caption, row->value}) {
      const LabelBox& box = At(label).box;
      if (point.x >= box.left && point.x < box.left + box.width && point.y >= box.top &&
          point.y < box.top + box.height) {
        return row->value;
      }
    }
  }
  return std::nullopt;
}

// The copy menu, at the pointer, or from the keyboard at the top-left of the support ID's value.
// False for a point outside the client area, whose menu is the system's.
bool Win32Window::ShowCopyMenu(const ContextMenuPoint& where) const {
  if (!where.screen) {
    const LabelBox& box = At(Label::LabelSupportIDContent).box;
    POINT point = {box.left, box.top};
    ClientToScreen(hwnd(), &point);
    menus_->Show(point, std::nullopt);
    return true;
  }
  POINT client = *where.screen;
  RECT area = {};
  if (!ScreenToClient(hwnd(), &client) || !GetClientRect(hwnd(), &area) ||
      !PtInRect(&area, client)) {
    return false;
  }
  menus_->Show(*where.screen, RowValueAt(client));
  return true;
}

// Moved to a monitor of another DPI: laid out anew at the top-left of the place the system
// suggests.
void Win32Window::ChangeDpi(int dpi, const RECT& suggested) {
  LayOut(dpi);
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

SIZE Win32Window::DesignOuterSize() const {
  RECT frame = {0, 0, ToPixels(kClientWidthTwips), ToPixels(kClientHeightTwips)};
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32<AdjustForDpi>("AdjustWindowRectExForDpi");
  if (adjustForDpi) {
    adjustForDpi(&frame, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi_));
  } else {
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

int Win32Window::ToPixels(double twips) const {
  return static_cast<int>(std::lround(twips * dpi_ / kTwipsPerInch));
}

float Win32Window::Twips(int pixels) const {
  return static_cast<float>(pixels * kTwipsPerInch / dpi_);
}

std::wstring Win32Window::Caption() const {
  return TextOf(hwnd());
}

void Win32Window::SetCaption(const std::wstring& caption) {
  SetWindowTextW(hwnd(), ShownText(caption).c_str());
}

float Win32Window::Width() const {
  int pixels = pendingWidth_;
  if (!pixels) {
    const RECT rect = ScreenRectOf(hwnd());
    pixels = rect.right - rect.left;
  }
  return Twips(pixels);
}

// The outer width in pixels that the rule gives at this DPI, with the window's width as it is
// for a rule that needs it.
int Win32Window::WidthByRule(const WidthRule& rule, const std::function<float()>& width) const {
  return WindowPixels(rule.Resolve([&] { return LabelWidth(Label::LabelSupportIDContent); }, width),
                      dpi_);
}

void Win32Window::SetWidth(const WidthRule& width) {
  // Kept, also where this DPI cannot draw it, to be decided again at each DPI as a start there
  // would decide it.
  widthRule_ = width;
  const int pixels = WidthByRule(width, [&] { return Width(); });
  if (!shown_) {
    pendingWidth_ = pixels;
    return;
  }
  const RECT rect = ScreenRectOf(hwnd());
  SetWindowPos(hwnd(), nullptr, 0, 0, pixels, rect.bottom - rect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  LayOutAllValues();
}

void Win32Window::SetLabelText(Label label, const std::wstring& text) {
  Repaint(label);
  SetWindowTextW(At(label).hwnd, ShownText(text).c_str());
  LayOutValue(label);
}

void Win32Window::SetLabelFontName(Label label, const std::wstring& name) {
  CheckFontName(name);
  At(label).fontName = name;
  ApplyFont(label);
  LayOutValue(label);
}

void Win32Window::SetLabelFontSize(Label label, float points) {
  CheckFontSize(points);
  At(label).fontSize = points;
  ApplyFont(label);
  LayOutValue(label);
}

std::wstring Win32Window::LabelFontName(Label label) const {
  return At(label).fontName;
}

std::wstring Win32Window::LabelText(Label label) const {
  return TextOf(At(label).hwnd);
}

float Win32Window::LabelWidth(Label label) const {
  int pixels = 0;
  if (DesignOf(label).fitsText) {
    // As wide as its text, also where the client area shows less of it.
    const UniqueScreenDc dc(GetDC(nullptr));
    if (!dc) throw AppError(kOutOfMemory);
    pixels = TextExtent(dc.get(), label, TextOf(At(label).hwnd)).cx;
  } else {
    const RECT rect = ScreenRectOf(At(label).hwnd);
    pixels = rect.right - rect.left;
  }
  return Twips(pixels);
}

// The label's font by its name and size; the one it drew with goes where no label draws with
// it any more.
void Win32Window::ApplyFont(Label label) {
  LabelWindow& l = At(label);
  const HFONT font = fonts_.Font(l.fontName, l.fontSize);
  Repaint(label);
  // A hidden window is painted whole when it first shows: no redraw before that.
  SendMessageW(l.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), IsWindowVisible(hwnd()));
  const HFONT old = std::exchange(l.font, font);
  if (!old || old == l.font ||
      std::any_of(labels_.begin(), labels_.end(),
                  [&](const LabelWindow& other) { return other.font == old; })) {
    return;
  }
  fonts_.LetGo(old);
}

// Labels draw no background of their own: the window repaints it under their old text.
void Win32Window::Repaint(Label label) {
  if (!IsWindowVisible(hwnd())) return;
  RECT rect = {};
  if (!GetWindowRect(At(label).hwnd, &rect)) {
    InvalidateRect(hwnd(), nullptr, TRUE);
    return;
  }
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
  InvalidateRect(hwnd(), &rect, TRUE);
}

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      if (WaitCursorShown()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CTLCOLORSTATIC: {
      // The labels' background is the window's own: leaving it to the window keeps a
      // taller label from covering the top of the one below it.
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // The key goes on as usual afterwards.
      Guarded("key-down event", [&] {
        if (onKeyDown_) onKeyDown_(static_cast<int>(wParam), ModifierState());
      });
      break;
    case WM_CONTEXTMENU:
      if (menus_) {
        bool shown = true;
        Guarded("copy menu", [&] { shown = ShowCopyMenu(ContextMenuPoint::Of(lParam)); });
        if (shown) return 0;
      }
      break;
    case WM_SYSCOMMAND:
      if (menus_) {
        bool copied = true;
        Guarded("system menu", [&] { copied = menus_->SystemCommand(wParam); });
        if (copied) return 0;
      }
      break;
    case WM_DPICHANGED:
      // A failed step keeps what it had.
      Guarded("DPI change",
              [&] { ChangeDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); });
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd(), message, wParam, lParam);
}

}  // namespace kv::win32
