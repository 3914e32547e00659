#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The support ID: a machine's UUID, its 16 bytes in the order dmidecode and CIM print them
// (most significant first), read as 130 bits with two zero bits at the end and written as 26
// digits of Crockford's base 32, which has no I, L, O or U to misread over the phone.
// TOVRAMIX.DLL writes it and the support desk's quorin-id reads it back, both from here, so
// they cannot disagree. Nothing here allocates or throws: the library runs inside other
// programs' processes and carries no C++ runtime.
namespace kv::support_id {

inline constexpr std::size_t kLength = 26;
using Uuid = std::array<std::uint8_t, 16>;
using Text = std::array<char, kLength>;

// The 32 digits in the order of their values.
inline constexpr std::string_view kAlphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";

// A character's digit value, with the aliases people type (lower case, O for 0, I and L for
// 1); -1 for a character that is neither a digit nor an alias.
int DigitValue(char c);

// The digit a character stands for: a digit itself, or the one its alias means; 0 for none.
char Canonical(char c);

// A UUID as dmidecode and CIM print it: 32 upper-case hexadecimal digits in groups of 8, 4,
// 4, 4 and 12, a hyphen between each two.
inline constexpr std::size_t kUuidDigits = 32;
inline constexpr std::size_t kUuidTextLength = 36;
inline constexpr std::size_t kUuidGroups[] = {8, 4, 4, 4, 12};
using UuidText = std::array<char, kUuidTextLength>;

// Whether a UUID's text has a hyphen at that position (counted from 0).
constexpr bool IsUuidHyphenAt(std::size_t position) {
  std::size_t at = 0;
  for (const std::size_t group : kUuidGroups) {
    at += group;
    if (position == at) return true;
    ++at;
  }
  return false;
}

UuidText FormatUuid(const Uuid& uuid);

Text Encode(const Uuid& uuid);

// An all-zero or all-FF UUID is what unprogrammed firmware holds: it names no machine.
bool IdentifiesAMachine(const Uuid& uuid);

enum class DecodeError {
  kNone,
  kLength,     // not 26 digits
  kCharacter,  // at position: no digit of the alphabet, nor one of its aliases
  kPadding,    // the last digit's two spare bits are not zero: no encoder writes that
};

struct Decoded {
  DecodeError error = DecodeError::kNone;
  std::size_t position = 0;  // of the refused character
  Uuid uuid{};
};

// Reads 26 digits back. Takes the aliases people type: lower case, O for 0, I and L for 1.
Decoded Decode(std::string_view digits);

}  // namespace kv::support_id
