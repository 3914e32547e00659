#include "identity_map.h"

#include <algorithm>
#include <cctype>

namespace tovramix {
namespace {

constexpr std::uint8_t kBios = 0, kSystem = 1, kBaseboard = 2, kOemStrings = 11;

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string StringOf(const Walk& walk, std::uint8_t type, std::size_t offset) {
  const Structure* s = walk.Find(type);
  return s ? std::string(s->String(offset)) : std::string();
}

std::string FirstOemString(const Walk& walk) {
  const Structure* oem = walk.Find(kOemStrings);
  if (!oem) return {};
  const std::size_t count = oem->Byte(4);
  for (std::size_t i = 0; i < count && i < oem->strings.size(); ++i) {
    if (!IsPlaceholder(oem->strings[i])) return std::string(oem->strings[i]);
  }
  return {};
}

std::string Printable(std::string_view value) {
  std::string out(value);
  for (char& c : out) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return out;
}

}  // namespace

std::optional<std::array<std::uint8_t, 16>> SystemUuid(const Structure& system,
                                                       SmbiosVersion version) {
  constexpr std::size_t kOffset = 8;
  if (system.formatted.size() < kOffset + 16) return std::nullopt;
  std::array<std::uint8_t, 16> uuid;
  std::copy_n(system.formatted.begin() + kOffset, 16, uuid.begin());
  if (std::all_of(uuid.begin(), uuid.end(), [](std::uint8_t b) { return b == 0; }) ||
      std::all_of(uuid.begin(), uuid.end(), [](std::uint8_t b) { return b == 0xFF; })) {
    return std::nullopt;
  }
  if (version.AtLeast(2, 6)) {
    std::reverse(uuid.begin(), uuid.begin() + 4);
    std::reverse(uuid.begin() + 4, uuid.begin() + 6);
    std::reverse(uuid.begin() + 6, uuid.begin() + 8);
  }
  return uuid;
}

std::string UuidText(const std::array<std::uint8_t, 16>& uuid) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < uuid.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += kHex[uuid[i] >> 4];
    text += kHex[uuid[i] & 15];
  }
  return text;
}

std::string Base32(const std::array<std::uint8_t, 16>& uuid) {
  static constexpr char kDigits[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
  std::string text;
  unsigned buffer = 0;
  int bits = 0;
  for (const std::uint8_t byte : uuid) {
    buffer = (buffer << 8) | byte;
    bits += 8;
    while (bits >= 5) {
      text += kDigits[(buffer >> (bits - 5)) & 31];
      bits -= 5;
    }
  }
  text += kDigits[(buffer << (5 - bits)) & 31];  // the last 3 bits, padded
  return text;
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

std::string FieldText(const Walk& walk, SmbiosVersion version, Source source) {
  switch (source) {
    case Source::kSystemSerial:
      return StringOf(walk, kSystem, 0x07);
    case Source::kBaseboardSerial:
      return StringOf(walk, kBaseboard, 0x07);
    case Source::kSystemProduct:
      return StringOf(walk, kSystem, 0x05);
    case Source::kSystemUuid: {
      const Structure* system = walk.Find(kSystem);
      const auto uuid = system ? SystemUuid(*system, version) : std::nullopt;
      return uuid ? UuidText(*uuid) : std::string();
    }
    case Source::kSystemSku:
      return StringOf(walk, kSystem, 0x19);
    case Source::kBiosVersion:
      return StringOf(walk, kBios, 0x05);
    case Source::kBiosDate:
      return StringOf(walk, kBios, 0x08);
    case Source::kBaseboardVersion:
      return StringOf(walk, kBaseboard, 0x06);
    case Source::kOemString:
      return FirstOemString(walk);
  }
  return {};
}

std::optional<std::array<std::string, kv::abi::kPieceCount>> IdentityPieces(const Table& table) {
  const Walk walk = WalkTable(table.bytes);
  const Structure* system = walk.Find(kSystem);
  if (!system) return std::nullopt;
  std::array<std::string, kv::abi::kPieceCount> pieces;
  for (std::size_t i = 0; i < kPieces.size(); ++i) {
    if (kPieces[i].source == Source::kSystemUuid) {
      const auto uuid = SystemUuid(*system, table.version);
      if (uuid) pieces[i] = Base32(*uuid);
      continue;
    }
    const std::string value = FieldText(walk, table.version, kPieces[i].source);
    if (!IsPlaceholder(value)) pieces[i] = Printable(Trim(value)).substr(0, kPieces[i].length);
  }
  return pieces;
}

}  // namespace tovramix
