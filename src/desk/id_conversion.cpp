#include "desk/id_conversion.h"

// Sixteen hexadecimal digits at once where the processor offers SSE2 (every x86-64 one), eight
// where not; KV_PORTABLE_HEX keeps to the eight, so that the tests read both.
#if (defined(__SSE2__) || defined(_M_X64)) && !defined(KV_PORTABLE_HEX)
#define KV_HEX_SSE2
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace kv::desk {
namespace {

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

constexpr std::array<std::int8_t, 256> kHexValues = [] {
  std::array<std::int8_t, 256> values{};
  values.fill(-1);
  for (int i = 0; i < 10; ++i) values['0' + i] = static_cast<std::int8_t>(i);
  for (int i = 0; i < 6; ++i) values['a' + i] = values['A' + i] = static_cast<std::int8_t>(10 + i);
  return values;
}();

// The value of a hexadecimal digit; -1 for any other character.
int HexValue(char32_t c) {
  return c < kHexValues.size() ? kHexValues[c] : -1;
}

bool StartsWithIgnoringCase(std::u32string_view text, std::u32string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char32_t c = text[i] >= U'A' && text[i] <= U'Z' ? text[i] + (U'a' - U'A') : text[i];
    if (c != prefix[i]) return false;
  }
  return true;
}

void WriteUuid(const support_id::Uuid& uuid, char* out) {
  for (std::size_t i = 0; i < uuid.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) *out++ = '-';
    *out++ = kHex[uuid[i] >> 4];
    *out++ = kHex[uuid[i] & 15];
  }
}

std::string UuidText(const support_id::Uuid& uuid) {
  char text[kHyphenatedUuid];
  WriteUuid(uuid, text);
  return std::string(text, kHyphenatedUuid);
}

Reading Refused(bool typedAsUuid, std::string why) {
  return {false, {{}, typedAsUuid}, std::move(why)};
}

// 32 hexadecimal digits, alone or in the groups 8-4-4-4-12; nothing for anything else.
std::optional<support_id::Uuid> ParseUuid(std::u32string_view text) {
  const bool grouped = text.size() == kHyphenatedUuid;
  if (!grouped && text.size() != kUuidDigits) return std::nullopt;
  support_id::Uuid uuid{};
  std::size_t digit = 0, hyphen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (grouped && hyphen < std::size(kUuidHyphens) && i == kUuidHyphens[hyphen]) {
      if (text[i] != U'-') return std::nullopt;
      ++hyphen;
      continue;
    }
    const int value = HexValue(text[i]);
    if (value < 0) return std::nullopt;
    uuid[digit / 2] = static_cast<std::uint8_t>(uuid[digit / 2] << 4 | value);
    ++digit;
  }
  return uuid;
}

#ifdef KV_HEX_SSE2
// Sixteen hexadecimal digits of ASCII as the eight bytes they give, all at once; false where
// one is no digit. (A byte of 0x80 or more is negative to the signed comparisons, and so in
// no range.)
bool HexBytes(const char* chars, std::uint8_t* bytes) {
  const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars));
  const __m128i lower = _mm_or_si128(c, _mm_set1_epi8(0x20));
  const __m128i digits = _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8('0' - 1)),
                                       _mm_cmplt_epi8(c, _mm_set1_epi8('9' + 1)));
  const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(lower, _mm_set1_epi8('a' - 1)),
                                        _mm_cmplt_epi8(lower, _mm_set1_epi8('f' + 1)));
  if (_mm_movemask_epi8(_mm_or_si128(digits, letters)) != 0xFFFF) return false;
  const __m128i nibbles =
      _mm_add_epi8(_mm_and_si128(c, _mm_set1_epi8(0x0F)), _mm_and_si128(letters, _mm_set1_epi8(9)));
  // Each pair of characters, the first the high nibble, in the low byte of its 16 bits.
  const __m128i pairs = _mm_and_si128(
      _mm_or_si128(_mm_slli_epi16(nibbles, 4), _mm_srli_epi16(nibbles, 8)), _mm_set1_epi16(0xFF));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes), _mm_packus_epi16(pairs, pairs));
  return true;
}
#else
// Eight characters as one number, the first the least significant: one load where the
// machine stores numbers so.
std::uint64_t LittleEndian(const char* chars) {
  std::uint64_t value;
  std::memcpy(&value, chars, sizeof value);
  if constexpr (std::endian::native == std::endian::big) {
    std::uint64_t swapped = 0;
    for (int i = 0; i < 8; ++i) swapped = swapped << 8 | ((value >> (8 * i)) & 0xFF);
    value = swapped;
  }
  return value;
}

// Eight hexadecimal digits of ASCII as the four bytes they give, all eight at once in one
// number; false where one is no digit.
bool EightHexDigits(const char* chars, std::uint8_t* bytes) {
  constexpr std::uint64_t kOnes = 0x0101010101010101, kTops = 0x8080808080808080;
  const std::uint64_t v = LittleEndian(chars);
  // The top bit of each byte that is at least bound (of a byte below 0x80, without carry).
  const auto atLeast = [](std::uint64_t x, unsigned bound) {
    return (x + kOnes * (0x80 - bound)) & kTops;
  };
  const std::uint64_t lower = v | kOnes * 0x20;
  const std::uint64_t digits = atLeast(v, '0') & ~atLeast(v, '9' + 1);
  const std::uint64_t letters = atLeast(lower, 'a') & ~atLeast(lower, 'f' + 1);
  if ((v & kTops) != 0 || (digits | letters) != kTops) return false;
  const std::uint64_t nibbles = (v & kOnes * 0x0F) + (letters >> 7) * 9;
  // Each pair of characters, the first the high nibble, in the low byte of its 16 bits; then
  // the four bytes side by side, the first lowest.
  std::uint64_t pairs = (nibbles << 4 | nibbles >> 8) & 0x00FF00FF00FF00FF;
  pairs = (pairs | pairs >> 8) & 0x0000FFFF0000FFFF;
  const auto four = static_cast<std::uint32_t>(pairs | pairs >> 16);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(four >> (8 * i));
  return true;
}

// Sixteen hexadecimal digits of ASCII as the eight bytes they give; false where one is no
// digit.
bool HexBytes(const char* chars, std::uint8_t* bytes) {
  return EightHexDigits(chars, bytes) && EightHexDigits(chars + 8, bytes + 4);
}
#endif

Reading OfMachine(const support_id::Uuid& uuid, bool typedAsUuid) {
  if (support_id::IdentifiesAMachine(uuid)) return {true, {uuid, typedAsUuid}, {}};
  return Refused(
      typedAsUuid,
      typedAsUuid
          ? UuidText(uuid) + " identifies no machine: it is what unprogrammed firmware holds"
          : "this support ID stands for " + UuidText(uuid) + ", which identifies no machine");
}

// Hexadecimal digits and separators, with at most one other character, and more digits than
// a support ID has characters: a UUID is meant, whatever is wrong with it.
bool MeantAsUuid(std::u32string_view text) {
  std::size_t digits = 0, others = 0;
  for (const char32_t c : text) {
    if (HexValue(c) >= 0) {
      ++digits;
    } else if (!IsHyphen(c) && c != U' ') {
      ++others;
    }
  }
  return others <= 1 && digits > support_id::kLength;
}

std::string WhyNotAUuid(std::u32string_view text) {
  std::size_t digits = 0;
  for (const char32_t c : text) {
    if (HexValue(c) >= 0) {
      ++digits;
    } else if (!IsHyphen(c) && c != U' ') {
      return Named(c) + " is not a hexadecimal digit, which every character of a UUID but its " +
             "hyphens is";
    }
  }
  if (digits != kUuidDigits) {
    return "a UUID has 32 hexadecimal digits in the groups 8-4-4-4-12; this has " +
           std::to_string(digits);
  }
  return "a UUID has a hyphen between its groups of 8, 4, 4, 4 and 12 digits, and nowhere else";
}

Reading ReadSupportId(std::u32string_view text) {
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
      return Refused(false, "a support ID has " + std::to_string(support_id::kLength) +
                                " characters and a UUID " + std::to_string(kUuidDigits) +
                                " hexadecimal digits; this has " + std::to_string(digits.size()));
    case support_id::DecodeError::kCharacter:
      return Refused(false, Named(typed[decoded.position]) +
                                " is not in a support ID, which is written with 0-9 and A-Z "
                                "without I, L, O and U");
    case support_id::DecodeError::kPadding:
      return Refused(false, "no support ID ends in " + Named(typed.back()) +
                                ", whose last two bits are not zero: a character is misread");
  }
  return OfMachine(decoded.uuid, false);
}

}  // namespace

Reading Read(std::u32string_view typed) {
  if (typed.size() > kMostCharacters) return Refused(false, TooLong(typed.size()));
  std::u32string text;
  for (const char32_t c : typed) text += IsBlank(c) ? U' ' : Narrow(c);
  const auto first = text.find_first_not_of(U' ');
  text = first == std::u32string::npos
             ? U""
             : text.substr(first, text.find_last_not_of(U' ') - first + 1);

  // Braces or the URN prefix say that a UUID is meant; otherwise its digits do.
  std::u32string_view uuid = text;
  bool marked = false;
  if (StartsWithIgnoringCase(text, U"urn:uuid:")) {
    uuid.remove_prefix(9);
    marked = true;
  } else if (text.size() >= 2 && text.front() == U'{' && text.back() == U'}') {
    uuid = uuid.substr(1, uuid.size() - 2);
    marked = true;
  }
  if (const auto parsed = ParseUuid(uuid)) return OfMachine(*parsed, true);
  if (marked || MeantAsUuid(text)) return Refused(true, WhyNotAUuid(uuid));
  return ReadSupportId(text);
}

std::optional<Machine> ReadQuickly(std::string_view typed) {
  if (typed.size() == support_id::kLength) {
    const support_id::Decoded decoded = support_id::Decode(typed);
    if (decoded.error != support_id::DecodeError::kNone ||
        !support_id::IdentifiesAMachine(decoded.uuid)) {
      return std::nullopt;
    }
    return Machine{decoded.uuid, false};
  }
  // The 32 digits side by side, then read eight at a time.
  char digits[kUuidDigits];
  if (typed.size() == kHyphenatedUuid) {
    if (typed[8] != '-' || typed[13] != '-' || typed[18] != '-' || typed[23] != '-') {
      return std::nullopt;
    }
    std::memcpy(digits, typed.data(), 8);
    std::memcpy(digits + 8, typed.data() + 9, 4);
    std::memcpy(digits + 12, typed.data() + 14, 4);
    std::memcpy(digits + 16, typed.data() + 19, 4);
    std::memcpy(digits + 20, typed.data() + 24, 12);
  } else if (typed.size() == kUuidDigits) {
    std::memcpy(digits, typed.data(), kUuidDigits);
  } else {
    return std::nullopt;
  }
  Machine machine{{}, true};
  if (!HexBytes(digits, machine.uuid.data()) || !HexBytes(digits + 16, machine.uuid.data() + 8)) {
    return std::nullopt;
  }
  if (!support_id::IdentifiesAMachine(machine.uuid)) return std::nullopt;
  return machine;
}

std::optional<Reading> ReadUtf8(std::string_view bytes, std::optional<std::size_t> characters) {
  if (bytes.empty()) return std::nullopt;
  if (const auto machine = ReadQuickly(bytes)) return Reading{true, *machine, {}};
  if (characters && *characters > kMostCharacters) return Refused(false, TooLong(*characters));
  const std::optional<std::u32string> text = FromUtf8(bytes);
  if (!text) return Refused(false, "this is not UTF-8 text");
  if (std::all_of(text->begin(), text->end(), IsBlank)) return std::nullopt;
  return Read(*text);
}

std::size_t OtherForm(const Machine& machine, std::span<char, 36> out) {
  if (!machine.typedAsUuid) {
    WriteUuid(machine.uuid, out.data());
    return kHyphenatedUuid;
  }
  const support_id::Text id = support_id::Encode(machine.uuid);
  std::copy(id.begin(), id.end(), out.begin());
  return id.size();
}

Conversion Convert(std::u32string_view argument) {
  const Reading reading = Read(argument);
  if (!reading.ok) return {false, reading.why};
  char text[kHyphenatedUuid];
  return {true, std::string(text, OtherForm(reading.machine, text))};
}

std::string TooLong(std::size_t characters) {
  return "this has " + std::to_string(characters) + " characters; a support ID has " +
         std::to_string(support_id::kLength) + " and a UUID " + std::to_string(kHyphenatedUuid);
}

std::u32string SupportIdDigits(std::u32string_view typed) {
  std::u32string digits;
  for (char32_t c : typed) {
    c = Narrow(c);
    if (IsBlank(c) || IsHyphen(c)) continue;
    if (c >= U'a' && c <= U'z') c -= U'a' - U'A';
    if (c == U'O') c = U'0';
    if (c == U'I' || c == U'L') c = U'1';
    digits += c;
  }
  return digits;
}

std::string Named(char32_t c) {
  if (c > U' ' && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
  std::string code = "U+";
  for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) code += kHex[(c >> shift) & 15];
  return code;
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

std::string ToUtf8(std::u32string_view text) {
  std::string bytes;
  for (const char32_t c : text) {
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c < 0x800) {
      bytes += static_cast<char>(0xC0 | c >> 6);
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      bytes += static_cast<char>(0xE0 | c >> 12);
      bytes += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | c >> 18);
      bytes += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      bytes += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return bytes;
}

}  // namespace kv::desk
