#include "desk/id_conversion.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

#include "desk/hex_digits.h"
#include "desk/text_encodings.h"

namespace kv::desk {
namespace {

using support_id::kUuidDigits;
constexpr std::size_t kHyphenatedUuid = support_id::kUuidTextLength;

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

bool StartsWithIgnoringCase(std::u32string_view text, std::u32string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char32_t c = text[i] >= U'A' && text[i] <= U'Z' ? text[i] + (U'a' - U'A') : text[i];
    if (c != prefix[i]) return false;
  }
  return true;
}

std::string UuidText(const support_id::Uuid& uuid) {
  const support_id::UuidText text = support_id::FormatUuid(uuid);
  return std::string(text.data(), text.size());
}

Reading Refused(bool typedAsUuid, std::string why) {
  return {false, {{}, typedAsUuid}, std::move(why)};
}

// 32 hexadecimal digits, alone or in the groups 8-4-4-4-12; nothing for anything else.
std::optional<support_id::Uuid> ParseUuid(std::u32string_view text) {
  const bool grouped = text.size() == kHyphenatedUuid;
  if (!grouped && text.size() != kUuidDigits) return std::nullopt;
  support_id::Uuid uuid{};
  std::size_t digit = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (grouped && support_id::IsUuidHyphenAt(i)) {
      if (text[i] != U'-') return std::nullopt;
      continue;
    }
    const int value = HexValue(text[i]);
    if (value < 0) return std::nullopt;
    uuid[digit / 2] = static_cast<std::uint8_t>(uuid[digit / 2] << 4 | value);
    ++digit;
  }
  return uuid;
}

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

// The sizes of a UUID's groups, as a message says them: "8-4-4-4-12", "8, 4, 4, 4 and 12".
std::string Groups(std::string_view separator, std::string_view last) {
  std::string groups;
  for (std::size_t i = 0; i < std::size(support_id::kUuidGroups); ++i) {
    if (i > 0) groups += i + 1 == std::size(support_id::kUuidGroups) ? last : separator;
    groups += std::to_string(support_id::kUuidGroups[i]);
  }
  return groups;
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
    return "a UUID has " + std::to_string(kUuidDigits) + " hexadecimal digits in the groups " +
           Groups("-", "-") + "; this has " + std::to_string(digits);
  }
  return "a UUID has a hyphen between its groups of " + Groups(", ", " and ") +
         " digits, and nowhere else";
}

// The support ID's alphabet as a message says it: "0-9 and A-Z without I, L, O and U".
std::string Alphabet() {
  std::string without;
  for (char c = 'A'; c <= 'Z'; ++c) {
    if (support_id::kAlphabet.find(c) != std::string_view::npos) continue;
    if (!without.empty()) without += ", ";
    without += c;
  }
  const std::size_t last = without.rfind(", ");
  if (last != std::string::npos) without.replace(last, 2, " and ");
  return "0-9 and A-Z without " + without;
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
                                " is not in a support ID, which is written with " + Alphabet());
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

namespace {

// Where a UUID's group starts among its digits.
constexpr std::size_t GroupStart(std::size_t group) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < group; ++i) start += support_id::kUuidGroups[i];
  return start;
}

// The digits of a UUID's text side by side, each group copied whole, at sizes known when
// compiling; false where a hyphen is missing between two groups.
template <std::size_t... Group>
bool GatherDigits(const char* text, char* digits, std::index_sequence<Group...>) {
  if (!((Group == 0 || text[GroupStart(Group) + Group - 1] == '-') && ...)) return false;
  (std::memcpy(digits + GroupStart(Group), text + GroupStart(Group) + Group,
               support_id::kUuidGroups[Group]),
   ...);
  return true;
}

}  // namespace

std::optional<Machine> ReadQuickly(std::string_view typed) {
  if (typed.size() == support_id::kLength) {
    const support_id::Decoded decoded = support_id::Decode(typed);
    if (decoded.error != support_id::DecodeError::kNone ||
        !support_id::IdentifiesAMachine(decoded.uuid)) {
      return std::nullopt;
    }
    return Machine{decoded.uuid, false};
  }
  // The 32 digits side by side, then read sixteen at a time.
  char digits[kUuidDigits];
  if (typed.size() == kHyphenatedUuid) {
    if (!GatherDigits(typed.data(), digits,
                      std::make_index_sequence<std::size(support_id::kUuidGroups)>())) {
      return std::nullopt;
    }
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
    const support_id::UuidText text = support_id::FormatUuid(machine.uuid);
    std::copy(text.begin(), text.end(), out.begin());
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
    const char canonical = c < 0x80 ? support_id::Canonical(static_cast<char>(c)) : '\0';
    digits += canonical != '\0' ? static_cast<char32_t>(canonical) : c;
  }
  return digits;
}

std::string Named(char32_t c) {
  if (c > U' ' && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string code = "U+";
  for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) code += kHex[(c >> shift) & 15];
  return code;
}

}  // namespace kv::desk
