// The value labels' places: each where its text shows whole on one line, or, where the client
// area ends first, cut there in an ellipsis.
#include "core/text.h"
#include "win32/win32_window.h"
#include "window/form_design.h"
#include "window/label_rules.h"

namespace kv::win32 {

// A value label's place for its text, font and the client area's width (label_rules.h); while
// the window is hidden, once, when it first shows, at the width it then has.
void Win32Window::LayOutValue(Label label) {
  if (!IsValue(label)) return;
  At(label).layoutPending = true;
  if (shown_) LayOutPendingValues();
}

void Win32Window::LayOutAllValues() {
  for (const Field& field : kFields) At(field.value).layoutPending = true;
  if (shown_) LayOutPendingValues();
}

// The value labels that wait for their place, measured on one device context. Where a text
// cannot be measured, its label stays as it is.
void Win32Window::LayOutPendingValues() {
  const UniqueScreenDc dc(GetDC(nullptr));
  RECT client = {};
  if (!dc || !GetClientRect(hwnd(), &client)) return;
  for (const Field& field : kFields) {
    LabelWindow& l = At(field.value);
    if (!l.layoutPending) continue;
    l.layoutPending = false;
    const LabelDesign& d = DesignOf(field.value);
    const std::wstring text = LabelText(field.value);
    const SIZE whole = TextExtent(dc.get(), field.value, text);
    const SIZE extent =
        d.fitsText ? whole : TextExtent(dc.get(), field.value, TrimBlanksAtEnd(text));
    const LabelBox box =
        ValueLabelBox(DesignBox(d), d.fitsText, extent.cx, extent.cy, client.right);
    // The blanks at its end take no room, but a line broken at them would break the text too.
    const DWORD style = TextStyle(field.value, box, whole.cx > box.width);
    if (box != l.box || style != l.textStyle) Place(field.value, box, style);
  }
}

void Win32Window::Place(Label label, const LabelBox& box, DWORD textStyle) {
  LabelWindow& l = At(label);
  SetWindowLongW(l.hwnd, GWL_STYLE, static_cast<LONG>(kLabelStyle | textStyle));
  SetWindowPos(l.hwnd, nullptr, box.left, box.top, box.width, box.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(l.hwnd, nullptr, TRUE);
  l.box = box;
  l.textStyle = textStyle;
}

// In its design box a label aligns its text and breaks lines as it always did, unless a break
// would fall in its text; in any other box it holds one line, which ends in an ellipsis where
// the client area ends first.
DWORD Win32Window::TextStyle(Label label, const LabelBox& box, bool breaksInBox) const {
  const LabelDesign& d = DesignOf(label);
  if (breaksInBox || box != DesignBox(d)) {
    return SS_LEFTNOWORDWRAP | (box.ellipsis ? SS_ENDELLIPSIS : 0);
  }
  return d.align == Align::kRight ? SS_RIGHT : SS_LEFT;
}

LabelBox Win32Window::DesignBox(const LabelDesign& d) const {
  return {ToPixels(d.left), ToPixels(d.top), ToPixels(d.width), ToPixels(d.height), false};
}

SIZE Win32Window::TextExtent(HDC dc, Label label, std::wstring_view text) const {
  const SelectedObject font(dc, At(label).font);
  // No text is no width, on a line of the font's height.
  RECT extent = {};
  DrawTextW(dc, text.empty() ? L" " : text.data(), text.empty() ? 1 : static_cast<int>(text.size()),
            &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return {text.empty() ? 0 : extent.right, extent.bottom};
}

}  // namespace kv::win32
