#pragma once

#include "app/startup.h"

namespace kv {

// Puts the texts of Text1 to Text8 on the eight caption labels.
void LoadCaptionTexts(Startup& s);

}  // namespace kv
