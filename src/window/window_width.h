#pragma once

#include <string_view>

#include "core/step_context.h"

namespace kv {

// The two forms differ only in the fallback used when the Width value is blank.
enum class WidthForm { kDoubleByte, kSingleByte };

// Sets the window's outer width from key Width of section Screen.
void LoadWindowWidth(StepContext& s, WidthForm form);

// Reads a width in twips: up to the first NUL, an optional sign, decimal digits with an
// optional fraction and exponent, blanks around. Raises 13 for anything else and 6 when
// the number is too large for a single-precision value; one too small for it reads as 0.
float ParseWidth(std::wstring_view text);

}  // namespace kv
