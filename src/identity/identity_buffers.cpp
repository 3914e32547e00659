#include "identity/identity_buffers.h"

namespace kv {

IdentityBuffers::IdentityBuffers() : build(abi::kBuildLength, ' ') {
  for (std::size_t i = 0; i < pieces.size(); ++i) pieces[i].assign(abi::kPieceLengths[i], ' ');
}

}  // namespace kv
