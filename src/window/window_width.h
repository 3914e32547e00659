#pragma once

#include <string_view>

#include "core/display_mode.h"
#include "core/step_context.h"

namespace kv {

// Sets the window's outer width from key Width of section Screen, or, where it is blank, by
// the mode's fallback.
void LoadWindowWidth(StepContext& s, DisplayMode mode);

// Reads a width in twips: up to the first NUL, an optional sign, decimal digits with an
// optional fraction and exponent, blanks around. Raises 13 for anything else and 6 when
// the number is too large for a single-precision value; one too small for it reads as 0.
float ParseWidth(std::wstring_view text);

}  // namespace kv
