#pragma once

#include <optional>
#include <string>
#include <string_view>

// What the support desk's quorin-id does with its one argument.
namespace kv::desk {

// The other form of the argument, or, when it is neither a support ID nor a UUID, why not.
struct Conversion {
  bool ok = false;
  std::string text;
};

// A support ID gives its UUID as dmidecode and CIM print it (8-4-4-4-12 upper-case
// hexadecimal digits); a UUID gives its support ID. Takes what people type or paste: lower
// case; blanks and hyphens anywhere in a support ID; O for 0, I and L for 1; full-width
// characters; a UUID in braces or after "urn:uuid:". Refuses a UUID that names no machine.
Conversion Convert(std::u32string_view argument);

// The argument as the system hands it over; nothing when it is not well-formed.
std::optional<std::u32string> FromUtf8(std::string_view bytes);
std::optional<std::u32string> FromUtf16(std::u16string_view units);

}  // namespace kv::desk
