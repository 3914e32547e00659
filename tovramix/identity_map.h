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

inline constexpr std::uint8_t kBios = 0, kSystem = 1, kBaseboard = 2, kOemStrings = 11;

// What kind of field gives a piece.
enum class Field {
  kString,         // a string of the structure
  kUuid,           // the system's UUID, at the offset
  kFirstOemString  // the first of the structure's strings that holds a value
};

// Where the firmware keeps a piece: a field of the first structure of a type, at an offset.
struct PieceSource {
  kv::abi::Piece piece;
  Field field;
  std::uint8_t type;
  std::uint8_t offset;
};

// The one table of the mapping, in the library's argument order.
inline constexpr std::array<PieceSource, kv::abi::kPieceCount> kPieces = {{
    {kv::abi::Piece::kSerialNumber, Field::kString, kSystem, 0x07},
    {kv::abi::Piece::kBoardSerialNumber, Field::kString, kBaseboard, 0x07},
    {kv::abi::Piece::kModel, Field::kString, kSystem, 0x05},
    {kv::abi::Piece::kSupportId, Field::kUuid, kSystem, 0x08},
    {kv::abi::Piece::kProductNumber, Field::kString, kSystem, 0x19},
    {kv::abi::Piece::kBiosVersion, Field::kString, kBios, 0x05},
    {kv::abi::Piece::kBiosDate, Field::kString, kBios, 0x08},
    {kv::abi::Piece::kHardwareBom, Field::kString, kBaseboard, 0x06},
    {kv::abi::Piece::kSoftwareBom, Field::kFirstOemString, kOemStrings, 0},
}};

constexpr bool InArgumentOrder() {
  for (std::size_t i = 0; i < kPieces.size(); ++i) {
    if (kv::abi::IndexOf(kPieces[i].piece) != i) return false;
  }
  return true;
}
static_assert(InArgumentOrder(), "each piece's row stands at its argument's place");

// The piece that a support ID's 26 characters fill, whole.
static_assert(kv::abi::LengthOf(kv::abi::Piece::kSupportId) == kv::support_id::kLength);

// A piece as the library hands it out, at most as long as the longest buffer.
struct PieceText {
  kv::support_id::Text chars{};
  std::size_t size = 0;
  std::string_view View() const { return {chars.data(), size}; }
};

// A string field exactly as the firmware holds it; empty where the table has no such field,
// and for the UUID, which is no string.
std::string_view FieldString(std::span<const std::uint8_t> table, const PieceSource& source);

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
