#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "support_id.h"

// A caller's support ID as read over the phone, and the machines one reading error away.
namespace kv::desk {

// What --find looks for: the machine the ID names exactly, where it names one, and the digits
// as typed, where one reading error may have made them of a support ID's.
struct Query {
  std::optional<support_id::Text> exact;
  std::u32string typed;
  std::string why;  // where it is neither: why the ID is refused
};
Query ReadQuery(std::u32string_view id);

// What differs between a support ID as typed and a machine's, where one reading error (a
// character replaced, two neighbours swapped, one left out or one added) makes the one of the
// other; nothing where it takes none or more.
std::optional<std::string> OneErrorApart(std::u32string_view typed,
                                         const support_id::Text& machine);

}  // namespace kv::desk
