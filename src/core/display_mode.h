#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/ports.h"
#include "core/step_context.h"
#include "core/width_rule.h"

namespace kv {

// A label's font: its name and its size in points.
struct LabelFont {
  const wchar_t* name;
  float points;
};

// How the window shows what the start-up puts on it, in one of its display modes. All that
// differs between the modes is here; the start-up's SingleByteMode says which one holds at
// each choice.
class DisplayMode {
 public:
  // Texts in full width, labels in their design font.
  static constexpr DisplayMode DoubleByte() { return DisplayMode(Kind::kDoubleByte); }
  // Texts as read, the labels a step fills in Arial at 14 points.
  static constexpr DisplayMode SingleByte() { return DisplayMode(Kind::kSingleByte); }
  // The mode the start-up's flag selects.
  static constexpr DisplayMode Selected(bool SingleByteMode) {
    return SingleByteMode ? SingleByte() : DoubleByte();
  }

  // A text as the mode shows it. The full-width conversion raises 5 on a system without
  // double-byte support.
  std::wstring Shown(const Platform& platform, const std::wstring& text) const;
  // A value without its leading blanks: spaces, and in double-byte mode the ideographic
  // spaces (U+3000) that the conversion makes of them.
  std::wstring LeftTrimmed(std::wstring_view text) const;
  // The font of the labels a step fills; nothing where they keep their design font.
  std::optional<LabelFont> Font() const;
  // The window's width where the setting is blank.
  WidthRule WidthFallback() const;

  // How the identity step fills the value labels of the library's pieces.
  enum class PieceSteps {
    kFontsValuesWidth,   // every font, then every value, then the width
    kValuesAroundWidth,  // the values with the width among them; "Unknown" in an order of its own
  };
  PieceSteps Pieces() const;

  bool operator==(const DisplayMode&) const = default;

 private:
  enum class Kind { kDoubleByte, kSingleByte };
  constexpr explicit DisplayMode(Kind kind) : kind_(kind) {}

  Kind kind_;
};

// The choice between the display modes, as a step of that name: the mode SingleByteMode
// selects now, or nothing when the choice itself fails, and then no form runs.
std::optional<DisplayMode> ChooseMode(StepContext& s, std::string_view name);

// One step: shows text on a label as the mode shows it, shaped by finish after that.
void ShowInMode(StepContext& s, DisplayMode mode, Label label, const std::wstring& text,
                const std::function<std::wstring(std::wstring)>& finish = {});

// Sets a label to the mode's font, name then size, two steps; nothing in a mode that keeps
// the design font.
void SetModeFont(StepContext& s, DisplayMode mode, Label label);

}  // namespace kv
