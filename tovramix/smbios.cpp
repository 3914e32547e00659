#include "smbios.h"

namespace tovramix {
namespace {

constexpr std::size_t kRawHeader = 8;

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

std::size_t Structure::StringCount() const {
  std::size_t count = 0;
  for (const std::uint8_t byte : strings) count += byte == 0;
  return count;
}

std::string_view Structure::NthString(std::size_t number) const {
  if (number == 0) return {};
  std::size_t start = 0;
  for (std::size_t i = 0; i < strings.size(); ++i) {
    if (strings[i] != 0) continue;
    if (--number == 0) {
      return std::string_view(reinterpret_cast<const char*>(strings.data()) + start, i - start);
    }
    start = i + 1;
  }
  return {};
}

std::optional<Structure> StructureAt(std::span<const std::uint8_t> bytes, std::size_t pos,
                                     std::size_t& next) {
  const std::size_t length = bytes[pos + 1];
  // A length under the header's own, or one that runs past the end, cannot be walked.
  if (length < kStructureHeader || length > bytes.size() - pos) return std::nullopt;
  // The string set ends at the first pair of NULs.
  const std::size_t first = pos + length;
  std::size_t end = first;
  while (end + 1 < bytes.size() && (bytes[end] != 0 || bytes[end + 1] != 0)) ++end;
  if (end + 1 >= bytes.size()) return std::nullopt;
  Structure structure;
  structure.type = bytes[pos];
  structure.formatted = bytes.subspan(pos, length);
  // A set that starts with the pair is empty; otherwise its last string ends with the
  // pair's first NUL.
  if (end > first) structure.strings = bytes.subspan(first, end + 1 - first);
  next = end + 2;
  return structure;
}

std::optional<Structure> Find(std::span<const std::uint8_t> bytes, std::uint8_t type) {
  std::optional<Structure> found;
  WalkTable(bytes, [&](const Structure& s) {
    if (!found && s.type == type) found = s;
  });
  return found;
}

}  // namespace tovramix
