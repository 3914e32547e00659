#pragma once

#include <array>
#include <string>

#include "core/ports.h"

namespace kv {

// What a field shows when its source is missing or fails.
inline constexpr wchar_t kUnknown[] = L"Unknown";

// The ten space-filled buffers that the identity library fills in place.
struct IdentityBuffers {
  IdentityBuffers();
  std::string build;
  PieceBuffers pieces;
};

}  // namespace kv
