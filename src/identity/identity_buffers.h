#pragma once

#include <array>
#include <string>

#include "core/ports.h"

namespace kv {

// The ten space-filled buffers that the identity library fills in place.
struct IdentityBuffers {
  IdentityBuffers();
  std::string build;
  std::array<std::string, 9> pieces;
};

}  // namespace kv
