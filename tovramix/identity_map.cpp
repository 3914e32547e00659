#include "identity_map.h"

#include <algorithm>

namespace tovramix {
namespace {

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string_view(text.data() + first, text.find_last_not_of(' ') - first + 1);
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

std::string_view StringOf(std::span<const std::uint8_t> table, std::uint8_t type,
                          std::size_t offset) {
  const std::optional<Structure> s = Find(table, type);
  return s ? s->String(offset) : std::string_view();
}

std::string_view FirstOemString(std::span<const std::uint8_t> table) {
  const std::optional<Structure> oem = Find(table, kOemStrings);
  if (!oem) return {};
  const std::size_t count = std::min<std::size_t>(oem->Byte(4), oem->StringCount());
  for (std::size_t number = 1; number <= count; ++number) {
    if (!IsPlaceholder(oem->NthString(number))) return oem->NthString(number);
  }
  return {};
}

}  // namespace

std::optional<kv::support_id::Uuid> SystemUuid(const Structure& system, SmbiosVersion version) {
  constexpr std::size_t kOffset = kPieces[kv::abi::IndexOf(kv::abi::Piece::kSupportId)].offset;
  if (system.formatted.size() < kOffset + 16) return std::nullopt;
  kv::support_id::Uuid uuid;
  std::copy_n(system.formatted.begin() + kOffset, 16, uuid.begin());
  if (!kv::support_id::IdentifiesAMachine(uuid)) return std::nullopt;
  if (version.AtLeast(2, 6)) {
    std::reverse(uuid.begin(), uuid.begin() + 4);
    std::reverse(uuid.begin() + 4, uuid.begin() + 6);
    std::reverse(uuid.begin() + 6, uuid.begin() + 8);
  }
  return uuid;
}

PieceText BuildIdentifier(std::wstring_view buildNumber, std::optional<std::uint32_t> revision) {
  PieceText build;
  if (buildNumber.empty() || buildNumber.size() > kv::abi::kBuildLength) return build;
  for (const wchar_t c : buildNumber) {
    if (c < L'0' || c > L'9') return {};
    build.chars[build.size++] = static_cast<char>(c);
  }
  if (!revision) return build;
  char digits[10];
  std::size_t count = 0;
  for (std::uint32_t rest = *revision; count == 0 || rest != 0; rest /= 10) {
    digits[count++] = static_cast<char>('0' + rest % 10);
  }
  if (build.size + 1 + count > kv::abi::kBuildLength) return build;
  build.chars[build.size++] = '.';
  while (count > 0) build.chars[build.size++] = digits[--count];
  return build;
}

bool IsPlaceholder(std::string_view value) {
  static constexpr std::string_view kPlaceholders[] = {"To Be Filled By O.E.M.",
                                                       "Default string",
                                                       "System Serial Number",
                                                       "System Product Name",
                                                       "System Version",
                                                       "System manufacturer",
                                                       "Base Board Serial Number",
                                                       "Base Board Version",
                                                       "Chassis Serial Number",
                                                       "0123456789",
                                                       "123456789",
                                                       "1234567890",
                                                       "None",
                                                       "Not Specified",
                                                       "Not Available",
                                                       "Not Applicable",
                                                       "N/A",
                                                       "O.E.M.",
                                                       "OEM",
                                                       "x.x",
                                                       "Type1ProductConfigId",
                                                       "SKU",
                                                       "Unknown",
                                                       "Invalid"};
  const std::string_view trimmed = Trim(value);
  if (trimmed.empty()) return true;
  // A run of one filler character: 00000000, XXXXXXXX, FFFFFFFF, ........
  if (trimmed.size() > 1 && trimmed.find_first_not_of(trimmed[0]) == std::string_view::npos &&
      std::string_view("0XxFf.-*#").find(trimmed[0]) != std::string_view::npos) {
    return true;
  }
  return std::any_of(std::begin(kPlaceholders), std::end(kPlaceholders),
                     [&](std::string_view p) { return EqualsIgnoringCase(trimmed, p); });
}

std::string_view FieldString(std::span<const std::uint8_t> table, const PieceSource& source) {
  switch (source.field) {
    case Field::kString:
      return StringOf(table, source.type, source.offset);
    case Field::kFirstOemString:
      return FirstOemString(table);
    case Field::kUuid:
      break;
  }
  return {};
}

std::optional<std::array<PieceText, kv::abi::kPieceCount>> IdentityPieces(const Table& table) {
  const std::optional<Structure> system = Find(table.bytes, kSystem);
  if (!system) return std::nullopt;
  std::array<PieceText, kv::abi::kPieceCount> pieces;
  for (const PieceSource& source : kPieces) {
    PieceText& piece = pieces[kv::abi::IndexOf(source.piece)];
    const std::size_t length = kv::abi::LengthOf(source.piece);
    if (source.field == Field::kUuid) {
      if (const auto uuid = SystemUuid(*system, table.version)) {
        piece.chars = kv::support_id::Encode(*uuid);
        piece.size = length;
      }
      continue;
    }
    const std::string_view value = FieldString(table.bytes, source);
    if (IsPlaceholder(value)) continue;
    const std::string_view trimmed = Trim(value);
    piece.size = std::min({trimmed.size(), length, piece.chars.size()});
    for (std::size_t c = 0; c < piece.size; ++c) {
      piece.chars[c] = trimmed[c] < 0x20 || trimmed[c] > 0x7E ? '?' : trimmed[c];
    }
  }
  return pieces;
}

}  // namespace tovramix
