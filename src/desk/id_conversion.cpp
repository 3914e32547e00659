#include "desk/id_conversion.h"

#include <array>
#include <cstdint>

#include "support_id.h"

namespace kv::desk {
namespace {

// Far more than any form of either takes, far less than anything worth reading through.
constexpr std::size_t kMostCharacters = 100;
constexpr std::size_t kUuidDigits = 32;
constexpr std::size_t kHyphenatedUuid = 36;
constexpr std::size_t kUuidHyphens[] = {8, 13, 18, 23};
constexpr char kHex[] = "0123456789ABCDEF";

bool IsBlank(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\u00A0' || c == U'\u3000';
}

bool IsHyphen(char32_t c) {
  return c == U'-' || (c >= U'\u2010' && c <= U'\u2015') || c == U'\u2212' || c == U'\uFF0D';
}

// Full-width forms, as the double-byte window shows them, to their narrow ones.
char32_t Narrow(char32_t c) {
  return c >= U'\uFF01' && c <= U'\uFF5E' ? c - 0xFEE0 : c;
}

int HexValue(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a' + 10);
  if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A' + 10);
  return -1;
}

std::u32string Lower(std::u32string_view text) {
  std::u32string lower(text);
  for (char32_t& c : lower) {
    if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
  }
  return lower;
}

// A character as an error message names it: itself when it is printable ASCII.
std::string Named(char32_t c) {
  if (c > U' ' && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
  std::string code = "U+";
  for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) code += kHex[(c >> shift) & 15];
  return code;
}

std::string UuidText(const support_id::Uuid& uuid) {
  std::string text;
  for (std::size_t i = 0; i < uuid.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += kHex[uuid[i] >> 4];
    text += kHex[uuid[i] & 15];
  }
  return text;
}

Conversion Refused(std::string why) {
  return {false, std::move(why)};
}

// 32 hexadecimal digits, alone or in the groups 8-4-4-4-12; nothing for anything else.
std::optional<support_id::Uuid> ParseUuid(std::u32string_view text) {
  std::u32string digits;
  if (text.size() == kHyphenatedUuid) {
    for (std::size_t i = 0, hyphen = 0; i < text.size(); ++i) {
      if (hyphen < std::size(kUuidHyphens) && i == kUuidHyphens[hyphen]) {
        if (text[i] != U'-') return std::nullopt;
        ++hyphen;
      } else {
        digits += text[i];
      }
    }
  } else {
    digits = text;
  }
  if (digits.size() != kUuidDigits) return std::nullopt;
  support_id::Uuid uuid{};
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const int value = HexValue(digits[i]);
    if (value < 0) return std::nullopt;
    uuid[i / 2] = static_cast<std::uint8_t>(uuid[i / 2] << 4 | value);
  }
  return uuid;
}

Conversion FromUuid(const support_id::Uuid& uuid) {
  if (!support_id::IdentifiesAMachine(uuid)) {
    return Refused(UuidText(uuid) +
                   " identifies no machine: it is what unprogrammed firmware holds");
  }
  const support_id::Text id = support_id::Encode(uuid);
  return {true, std::string(id.begin(), id.end())};
}

Conversion FromSupportId(std::u32string_view text) {
  // The digits as typed, and each digit's character as it came, for the message.
  std::string digits;
  std::u32string typed;
  for (const char32_t c : text) {
    if (IsBlank(c) || IsHyphen(c)) continue;
    digits += c < 0x80 ? static_cast<char>(c) : '\x80';  // no digit beyond ASCII
    typed += c;
  }
  const support_id::Decoded decoded = support_id::Decode(digits);
  switch (decoded.error) {
    case support_id::DecodeError::kNone:
      break;
    case support_id::DecodeError::kLength:
      return Refused("a support ID has " + std::to_string(support_id::kLength) +
                     " characters and a UUID " + std::to_string(kUuidDigits) +
                     " hexadecimal digits; this has " + std::to_string(digits.size()));
    case support_id::DecodeError::kCharacter:
      return Refused(Named(typed[decoded.position]) +
                     " is not in a support ID, which is written with 0-9 and A-Z without I, L, "
                     "O and U");
    case support_id::DecodeError::kPadding:
      return Refused("no support ID ends in " + Named(typed.back()) +
                     ", whose last two bits are not zero: a character is misread");
  }
  if (!support_id::IdentifiesAMachine(decoded.uuid)) {
    return Refused("this support ID stands for " + UuidText(decoded.uuid) +
                   ", which identifies no machine");
  }
  return {true, UuidText(decoded.uuid)};
}

}  // namespace

Conversion Convert(std::u32string_view argument) {
  if (argument.size() > kMostCharacters) {
    return Refused("the argument has " + std::to_string(argument.size()) +
                   " characters; a support ID has " + std::to_string(support_id::kLength) +
                   " and a UUID " + std::to_string(kHyphenatedUuid));
  }
  std::u32string text;
  for (const char32_t c : argument) text += IsBlank(c) ? U' ' : Narrow(c);
  const auto first = text.find_first_not_of(U' ');
  text = first == std::u32string::npos
             ? U""
             : text.substr(first, text.find_last_not_of(U' ') - first + 1);

  // Braces or the URN prefix say that a UUID is meant; otherwise its digits do.
  std::u32string_view uuid = text;
  bool marked = false;
  if (Lower(text).starts_with(U"urn:uuid:")) {
    uuid.remove_prefix(9);
    marked = true;
  } else if (text.size() >= 2 && text.front() == U'{' && text.back() == U'}') {
    uuid = uuid.substr(1, uuid.size() - 2);
    marked = true;
  }
  if (const auto parsed = ParseUuid(uuid)) return FromUuid(*parsed);
  if (marked) {
    return Refused("a UUID has 32 hexadecimal digits in the groups 8-4-4-4-12");
  }
  return FromSupportId(text);
}

std::optional<std::u32string> FromUtf8(std::string_view bytes) {
  std::u32string text;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || i + length > bytes.size()) {
      return std::nullopt;
    }
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = c << 6 | (next & 0x3F);
    }
    // No overlong forms, no surrogates, nothing past the last code point.
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return std::nullopt;
    text += c;
    i += length;
  }
  return text;
}

std::optional<std::u32string> FromUtf16(std::u16string_view units) {
  std::u32string text;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    if (unit >= 0xDC00 && unit <= 0xDFFF) return std::nullopt;
    if (unit < 0xD800 || unit > 0xDBFF) {
      text += unit;
      continue;
    }
    if (i + 1 == units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) {
      return std::nullopt;
    }
    text += 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (units[++i] - 0xDC00);
  }
  return text;
}

}  // namespace kv::desk
