#pragma once

#include "app/startup.h"

namespace kv {

// Fills the software build and the six BIOS value labels from the identity library, with
// the window width step inside the successful BIOS branch.
void LoadIdentityFields(Startup& s);

}  // namespace kv
