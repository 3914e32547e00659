#pragma once

#include "core/step_context.h"

namespace kv {

// Puts the texts of Text1 to Text8 on the eight caption labels.
void LoadCaptionTexts(StepContext& s);

}  // namespace kv
