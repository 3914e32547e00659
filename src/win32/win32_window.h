#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "core/ports.h"
#include "win32/handles.h"
#include "window/copying.h"
#include "window/form_design.h"
#include "window/label_rules.h"

namespace kv::win32 {

// The Win32 window that FormKVInfo is shown in, under that class name: one top-level window with
// its sixteen STATIC labels, created with the design values and hidden until Show. Until then it
// keeps its new width and the places of its value labels to itself and applies them once, when it
// first shows: every change of a hidden window's geometry costs as much as the change of a visible
// one. Its DPI is its own: moved to a monitor of another, it lays itself out anew at that one.
class Win32Window : public WindowPort {
 public:
  using KeyHandler = std::function<void(int keyCode, int shift)>;
  using CopyHandler = std::function<void(const CopyCommand& command)>;

  explicit Win32Window(HINSTANCE instance);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  HWND hwnd() const { return window_.get(); }
  void OnKeyDown(KeyHandler handler) { onKeyDown_ = std::move(handler); }
  // Offers the copies, in these texts: a menu in the client area (on the right mouse button,
  // Shift+F10 and the Menu key) and an item of the system menu.
  void OfferCopies(const MenuTexts& texts, CopyHandler handler);
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
    bool layoutPending = false;
  };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void CreateLabels(HINSTANCE instance);
  void Destroy();
  LabelWindow& At(Label label) { return labels_[static_cast<int>(label) - 1]; }
  const LabelWindow& At(Label label) const { return labels_[static_cast<int>(label) - 1]; }
  using Fonts = std::map<std::pair<std::wstring, float>, UniqueFont>;

  static UniqueFont MakeFont(const std::wstring& name, float points, int dpi);
  void ApplyFont(Label label);
  void Repaint(Label label);
  void LayOut(int dpi);
  void ChangeDpi(int dpi, const RECT& suggested);
  void LayOutValue(Label label);
  void LayOutAllValues();
  void LayOutPendingValues();
  void Place(Label label, const LabelBox& box);
  DWORD TextStyle(Label label, const LabelBox& box) const;
  LabelBox DesignBox(const LabelDesign& design) const;
  SIZE DesignOuterSize() const;
  int WidthByRule(const WidthRule& rule, const std::function<float()>& width) const;
  // The text's width on one line in the label's font (0 for no text) and the line's height.
  SIZE TextExtent(HDC dc, Label label, std::wstring_view text) const;
  void PlaceCentred(int width, int height);
  bool ShowCopyMenu(LPARAM where);
  std::optional<Label> RowValueAt(POINT point) const;
  int ToPixels(double twips) const;
  float Twips(int pixels) const;

  int dpi_;  // of the monitor the window is on
  bool shown_ = false;
  int pendingWidth_ = 0;                // pixels; 0 while none is set
  std::optional<WidthRule> widthRule_;  // as the start-up set the width
  // One font for all labels that share a name and size, as long as a label draws with it;
  // declared before the window, so that the labels go before their fonts.
  Fonts fonts_;
  UniqueWindow window_;
  std::array<LabelWindow, kLabelCount> labels_;
  KeyHandler onKeyDown_;
  MenuTexts menuTexts_;
  CopyHandler onCopy_;
};

}  // namespace kv::win32
