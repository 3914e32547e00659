#pragma once

#include <optional>
#include <string>

#include "core/ports.h"

namespace kv {

// What a copy takes from the window: all of it, or one row's value.
class CopyCommand {
 public:
  // The title and every row, as Ctrl+C copies them (WindowText).
  static constexpr CopyCommand All() { return CopyCommand(std::nullopt); }
  // A row's value as its label shows it, without the blanks at its end and without a line end.
  static constexpr CopyCommand ValueOf(Label value) { return CopyCommand(value); }

  std::wstring Text(const WindowPort& form) const;
  bool operator==(const CopyCommand&) const = default;

 private:
  constexpr explicit CopyCommand(std::optional<Label> value) : value_(value) {}

  std::optional<Label> value_;
};

// The one way to the clipboard, for Ctrl+C and the menus alike.
void Copy(const WindowPort& form, Platform& platform, const CopyCommand& command);

}  // namespace kv
