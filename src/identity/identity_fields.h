#pragma once

#include "core/step_context.h"
#include "identity/identity_buffers.h"

namespace kv {

// Fills the software build and the six BIOS value labels from the identity library, with
// the window width step inside the successful BIOS branch.
void LoadIdentityFields(StepContext& s, IdentityBuffers& buffers);

}  // namespace kv
