#include "smbios.h"

namespace tovramix {
namespace {

constexpr std::size_t kRawHeader = 8;
constexpr std::size_t kStructureHeader = 4;
constexpr std::uint8_t kEndOfTable = 127;

}  // namespace

std::optional<Table> ReadRawSmbios(std::span<const std::uint8_t> blob) {
  if (blob.size() < kRawHeader) return std::nullopt;
  const std::uint32_t length = static_cast<std::uint32_t>(blob[4]) | (blob[5] << 8) |
                               (blob[6] << 16) | (static_cast<std::uint32_t>(blob[7]) << 24);
  if (length > blob.size() - kRawHeader) return std::nullopt;
  return Table{{blob[1], blob[2]}, blob.subspan(kRawHeader, length)};
}

std::uint8_t Structure::Byte(std::size_t offset) const {
  return offset < formatted.size() ? formatted[offset] : 0;
}

std::string_view Structure::String(std::size_t offset) const {
  const std::uint8_t index = Byte(offset);
  if (index == 0 || index > strings.size()) return {};
  return strings[index - 1];
}

const Structure* Walk::Find(std::uint8_t type) const {
  for (const Structure& s : structures) {
    if (s.type == type) return &s;
  }
  return nullptr;
}

Walk WalkTable(std::span<const std::uint8_t> bytes) {
  Walk walk;
  std::size_t pos = 0;
  while (bytes.size() - pos >= kStructureHeader) {
    Structure s;
    s.type = bytes[pos];
    const std::size_t length = bytes[pos + 1];
    // A length under the header's own, or one that runs past the end, cannot be walked.
    if (length < kStructureHeader || length > bytes.size() - pos) {
      walk.end = WalkEnd::kMalformed;
      return walk;
    }
    s.formatted = bytes.subspan(pos, length);
    // The string set ends at the first pair of NULs.
    std::size_t end = pos + length;
    while (end + 1 < bytes.size() && (bytes[end] != 0 || bytes[end + 1] != 0)) ++end;
    if (end + 1 >= bytes.size()) {
      walk.end = WalkEnd::kMalformed;
      return walk;
    }
    // Each string of the set ends with its NUL; a set that starts with the pair is empty.
    const std::size_t first = pos + length;
    std::size_t start = first;
    for (std::size_t i = first; end > first && i <= end; ++i) {
      if (bytes[i] == 0) {
        s.strings.emplace_back(reinterpret_cast<const char*>(bytes.data() + start), i - start);
        start = i + 1;
      }
    }
    walk.structures.push_back(std::move(s));
    pos = end + 2;
    if (walk.structures.back().type == kEndOfTable) {
      walk.end = WalkEnd::kEndMarker;
      return walk;
    }
  }
  walk.end = pos == bytes.size() ? WalkEnd::kEndOfTable : WalkEnd::kMalformed;
  return walk;
}

}  // namespace tovramix
