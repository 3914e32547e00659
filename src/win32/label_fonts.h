#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>

#include "win32/handles.h"

namespace kv::win32 {

// The labels' fonts at one DPI: one font for all labels that share a name and size, made when
// the first of them asks for it and kept until it is let go.
class LabelFonts {
 public:
  explicit LabelFonts(int dpi) : dpi_(dpi) {}

  // The font of this name and size; raises 7 (out of memory) where it cannot be made.
  HFONT Font(const std::wstring& name, float points);
  // Frees a font that no label draws with any more.
  void LetGo(HFONT font);

 private:
  int dpi_;
  std::map<std::pair<std::wstring, float>, UniqueFont> fonts_;
};

}  // namespace kv::win32
