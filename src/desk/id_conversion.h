#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "support_id.h"

// What the support desk's quorin-id makes of a support ID or a UUID.
namespace kv::desk {

// Far more than any form of either takes, far less than anything worth reading through.
inline constexpr std::size_t kMostCharacters = 100;

// The machine a value names, and which form was meant by what was typed.
struct Machine {
  support_id::Uuid uuid{};
  bool typedAsUuid = false;
};

// A value read: the machine it names, or why it names none, said of the form that was meant.
struct Reading {
  bool ok = false;
  Machine machine;
  std::string why;
};

// Takes what people type or paste: a support ID in lower case, with blanks and hyphens
// anywhere, O for 0 and I or L for 1, in full-width characters; a UUID in the groups 8-4-4-4-12
// or as 32 bare hexadecimal digits, in braces or after "urn:uuid:". Refuses a UUID that names
// no machine.
Reading Read(std::u32string_view typed);

// The common forms of ASCII text without a blank, read without allocating: a UUID of 36
// characters or 32 digits, a support ID of 26. Nothing for anything else, and for what Read
// refuses, which Read then explains. Where it reads a value, it reads what Read reads.
std::optional<Machine> ReadQuickly(std::string_view typed);

// A value as an input gives it, in UTF-8: read quickly where it can be, else by Read. Where only
// its start is given, characters says how many the whole has. Nothing for a blank value.
std::optional<Reading> ReadUtf8(std::string_view bytes,
                                std::optional<std::size_t> characters = std::nullopt);

// The other form of a machine's: a UUID's support ID, or a support ID's UUID as dmidecode and
// CIM print it (8-4-4-4-12 upper-case hexadecimal digits). Written into out; its length.
std::size_t OtherForm(const Machine& machine, std::span<char, 36> out);

// The other form of the argument, or, when it names no machine, why not.
struct Conversion {
  bool ok = false;
  std::string text;
};
Conversion Convert(std::u32string_view argument);

// Why a text of that many characters is refused, whatever they are.
std::string TooLong(std::size_t characters);

// A support ID as typed, made comparable character by character: full-width characters narrow,
// lower case raised, O as 0 and I and L as 1, blanks and hyphens gone; characters that no
// support ID has stay as typed.
std::u32string SupportIdDigits(std::u32string_view typed);

// A character as a message names it: itself when it is printable ASCII, else U+ and its code.
std::string Named(char32_t c);

}  // namespace kv::desk
