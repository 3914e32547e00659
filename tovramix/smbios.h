#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// Reading the SMBIOS structure table as the firmware hands it over: every offset and
// length in it is checked before use, so any byte sequence is safe to read.
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

struct Structure {
  std::uint8_t type = 0;
  std::span<const std::uint8_t> formatted;  // the header and formatted area
  std::vector<std::string_view> strings;    // the string set, in order

  // A byte of the formatted area, or 0 past its end.
  std::uint8_t Byte(std::size_t offset) const;
  // The string whose index is at offset: empty for index 0, an index past the set, or an
  // offset past the formatted area.
  std::string_view String(std::size_t offset) const;
};

enum class WalkEnd { kEndOfTable, kEndMarker, kMalformed };

struct Walk {
  std::vector<Structure> structures;
  WalkEnd end = WalkEnd::kEndOfTable;

  // The first structure of a type, if any.
  const Structure* Find(std::uint8_t type) const;
};

// Walks the structures up to the end-of-table marker (type 127), the end of the bytes, or
// the first malformed structure, keeping those read before it.
Walk WalkTable(std::span<const std::uint8_t> bytes);

}  // namespace tovramix
