// Any bytes as the firmware's table: the reading never leaves the buffer, never hangs, and
// every piece fits its caller's buffer in printable characters.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "identity_map.h"
#include "smbios.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> blob(data, size);
  tovramix::WalkTable(blob, [](const tovramix::Structure& s) {
    for (std::size_t number = 0; number <= s.StringCount() + 1; ++number) {
      static_cast<void>(s.NthString(number));
    }
  });
  for (const tovramix::PieceSource& source : tovramix::kPieces) {
    static_cast<void>(tovramix::FieldString(blob, source));
  }
  const auto table = tovramix::ReadRawSmbios(blob);
  if (!table) return 0;
  const auto pieces = tovramix::IdentityPieces(*table);
  if (!pieces) return 0;
  for (std::size_t i = 0; i < pieces->size(); ++i) {
    if ((*pieces)[i].size > kv::abi::kPieceLengths[i]) std::abort();
    for (const char c : (*pieces)[i].View()) {
      if (c < 0x20 || c > 0x7E) std::abort();
    }
  }
  return 0;
}
