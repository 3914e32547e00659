#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// Reading the SMBIOS structure table as the firmware hands it over: every offset and
// length in it is checked before use, so any byte sequence is safe to read. Nothing here
// allocates or throws: the library built from it runs inside other programs' processes
// with no C++ runtime of its own.
namespace tovramix {

struct SmbiosVersion {
  std::uint8_t major = 0;
  std::uint8_t minor = 0;
  bool AtLeast(int wantMajor, int wantMinor) const {
    return major > wantMajor || (major == wantMajor && minor >= wantMinor);
  }
};

// The table in the RawSMBIOSData layout: calling method, major, minor, DMI revision, a
// 32-bit little-endian length, then that many bytes of structures.
struct Table {
  SmbiosVersion version;
  std::span<const std::uint8_t> bytes;
};

// Nothing when the blob is shorter than its header or than the length the header gives.
std::optional<Table> ReadRawSmbios(std::span<const std::uint8_t> blob);

inline constexpr std::size_t kStructureHeader = 4;
inline constexpr std::uint8_t kEndOfTable = 127;

struct Structure {
  std::uint8_t type = 0;
  std::span<const std::uint8_t> formatted;  // the header and formatted area
  std::span<const std::uint8_t> strings;    // the string set, each string with its NUL

  // A byte of the formatted area, or 0 past its end.
  std::uint8_t Byte(std::size_t offset) const;
  std::size_t StringCount() const;
  // The string of that number in the set (from 1); empty for 0 or a number past the set.
  std::string_view NthString(std::size_t number) const;
  // The string whose number is at offset of the formatted area.
  std::string_view String(std::size_t offset) const { return NthString(Byte(offset)); }
};

// The structure that starts at pos, of which at least its header lies in bytes, and where
// the next one starts; nothing when its length or its string set runs past the end.
std::optional<Structure> StructureAt(std::span<const std::uint8_t> bytes, std::size_t pos,
                                     std::size_t& next);

enum class WalkEnd { kEndOfTable, kEndMarker, kMalformed };

// Hands each structure to visit, in order, up to the end-of-table marker (type 127, which
// it is handed too), the end of the bytes, or the first malformed structure; says which.
template <class Visit>
WalkEnd WalkTable(std::span<const std::uint8_t> bytes, Visit&& visit) {
  std::size_t pos = 0;
  while (bytes.size() - pos >= kStructureHeader) {
    std::size_t next = 0;
    const std::optional<Structure> structure = StructureAt(bytes, pos, next);
    if (!structure) return WalkEnd::kMalformed;
    visit(*structure);
    if (structure->type == kEndOfTable) return WalkEnd::kEndMarker;
    pos = next;
  }
  return pos == bytes.size() ? WalkEnd::kEndOfTable : WalkEnd::kMalformed;
}

// The first structure of a type that the walk reaches, if any.
std::optional<Structure> Find(std::span<const std::uint8_t> bytes, std::uint8_t type);

}  // namespace tovramix
