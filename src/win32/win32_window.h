#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/ports.h"
#include "settings/settings.h"
#include "win32/copy_menus.h"
#include "win32/label_fonts.h"
#include "win32/window_base.h"
#include "window/form_design.h"
#include "window/label_rules.h"

namespace kv::win32 {

// The Win32 window that FormKVInfo is shown in, under that class name: one top-level window with
// its sixteen STATIC labels, created with the design values and hidden until Show. Until then it
// keeps its new width and the places of its value labels to itself and applies them once, when it
// first shows: every change of a hidden window's geometry costs as much as the change of a visible
// one. Its DPI is its own: moved to a monitor of another, it lays itself out anew at that one.
class Win32Window : public WindowBase, public WindowPort {
 public:
  using KeyHandler = std::function<void(int keyCode, int shift)>;

  explicit Win32Window(HINSTANCE instance);
  ~Win32Window() override;

  void OnKeyDown(KeyHandler handler) { onKeyDown_ = std::move(handler); }
  // Offers the copies, in these texts: a menu in the client area (on the right mouse button,
  // Shift+F10 and the Menu key) and an item of the system menu.
  void OfferCopies(const MenuTexts& texts, CopyMenus::CopyHandler handler);
  // Takes the width and label sizes set while hidden, centres the window on the screen and
  // shows it.
  void Show(int showCommand);

  std::wstring Caption() const override;
  void SetCaption(const std::wstring& caption) override;
  float Width() const override;
  void SetWidth(const WidthRule& width) override;
  void SetLabelText(Label label, const std::wstring& text) override;
  void SetLabelFontName(Label label, const std::wstring& name) override;
  void SetLabelFontSize(Label label, float points) override;
  std::wstring LabelFontName(Label label) const override;
  std::wstring LabelText(Label label) const override;
  float LabelWidth(Label label) const override;

 private:
  struct LabelWindow {
    HWND hwnd = nullptr;  // a child: destroyed with the window
    std::wstring fontName;
    float fontSize = 0;
    HFONT font = nullptr;  // owned by fonts_
    LabelBox box;          // where it stands in the client area, once laid out
    DWORD textStyle = 0;   // how it draws its text there
    bool layoutPending = false;
  };

  static constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | SS_NOPREFIX;

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CreateLabels(HINSTANCE instance);
  LabelWindow& At(Label label) { return labels_[LabelIndex(label)]; }
  const LabelWindow& At(Label label) const { return labels_[LabelIndex(label)]; }

  void ApplyFont(Label label);
  void Repaint(Label label);
  void LayOut(int dpi);
  void ChangeDpi(int dpi, const RECT& suggested);
  void LayOutValue(Label label);
  void LayOutAllValues();
  void LayOutPendingValues();
  void Place(Label label, const LabelBox& box, DWORD textStyle);
  DWORD TextStyle(Label label, const LabelBox& box, bool breaksInBox) const;
  LabelBox DesignBox(const LabelDesign& design) const;
  SIZE DesignOuterSize() const;
  int WidthByRule(const WidthRule& rule, const std::function<float()>& width) const;
  // The text's width on one line in the label's font (0 for no text) and the line's height.
  SIZE TextExtent(HDC dc, Label label, std::wstring_view text) const;
  void PlaceCentred(int width, int height);
  bool ShowCopyMenu(const ContextMenuPoint& where) const;
  std::optional<Label> RowValueAt(POINT point) const;
  int ToPixels(double twips) const;
  float Twips(int pixels) const;

  int dpi_;  // of the monitor the window is on
  bool shown_ = false;
  int pendingWidth_ = 0;                // pixels; 0 while none is set
  std::optional<WidthRule> widthRule_;  // as the start-up set the width
  // The window and its labels go, in the destructor, before the fonts they draw with.
  LabelFonts fonts_;
  std::array<LabelWindow, kLabelCount> labels_;
  KeyHandler onKeyDown_;
  std::optional<CopyMenus> menus_;
};

}  // namespace kv::win32
