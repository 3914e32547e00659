#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "library_abi.h"
#include "smbios.h"
#include "support_id.h"

// Which SMBIOS field gives each of the nine identity pieces, and how it is made fit for a
// support person to read. Like the table reading, nothing here allocates or throws.
namespace tovramix {

enum class Source {
  kSystemSerial,      // type 1, serial number
  kBaseboardSerial,   // type 2, serial number
  kSystemProduct,     // type 1, product name
  kSystemUuid,        // type 1, UUID
  kSystemSku,         // type 1, SKU number
  kBiosVersion,       // type 0, BIOS version
  kBiosDate,          // type 0, BIOS release date
  kBaseboardVersion,  // type 2, version
  kOemString,         // type 11, the first string that holds a value
};

struct Piece {
  Source source;
  std::size_t length;  // the caller's buffer
};

// The one table of the mapping, in the library's argument order.
inline constexpr std::array<Piece, kv::abi::kPieceCount> kPieces = {{
    {Source::kSystemSerial, 12},
    {Source::kBaseboardSerial, 12},
    {Source::kSystemProduct, 10},
    {Source::kSystemUuid, 26},
    {Source::kSystemSku, 18},
    {Source::kBiosVersion, 10},
    {Source::kBiosDate, 12},
    {Source::kBaseboardVersion, 6},
    {Source::kOemString, 4},
}};

constexpr bool LengthsAreTheInterfaces() {
  for (std::size_t i = 0; i < kPieces.size(); ++i) {
    if (kPieces[i].length != kv::abi::kPieceLengths[i]) return false;
  }
  return true;
}
static_assert(LengthsAreTheInterfaces(), "each piece's length must be its buffer's");

// A piece as the library hands it out, at most as long as the longest buffer.
struct PieceText {
  kv::support_id::Text chars{};
  std::size_t size = 0;
  std::string_view View() const { return {chars.data(), size}; }
};

// A string field exactly as the firmware holds it; empty where the table has no such field,
// and for the UUID, which is no string.
std::string_view FieldString(std::span<const std::uint8_t> table, Source source);

// The UUID's 16 bytes in canonical order: from SMBIOS 2.6 on, the table stores the first
// three fields little-endian. Nothing when absent, or all 0x00 or all 0xFF.
std::optional<kv::support_id::Uuid> SystemUuid(const Structure& system, SmbiosVersion version);

// The software build identifier: the build number and, where the buffer holds both, "." and
// the update revision, as in "19045.3570". Never cut, since a cut number would look like
// another build: a revision that does not fit is left off, and a build number that is not
// one, or does not fit alone, gives nothing.
PieceText BuildIdentifier(std::wstring_view buildNumber, std::optional<std::uint32_t> revision);

// Texts that boards leave where nobody programmed a value.
bool IsPlaceholder(std::string_view value);

// The nine pieces as the library hands them out: no value where the firmware has none or a
// placeholder, characters outside printable ASCII as '?', cut to their buffers. Nothing when
// the table has no system structure.
std::optional<std::array<PieceText, kv::abi::kPieceCount>> IdentityPieces(const Table& table);

}  // namespace tovramix
