#include "desk/near_matches.h"

#include <algorithm>

#include "desk/id_conversion.h"

namespace kv::desk {
namespace {

// Whether one reading error can have made the digits typed of a support ID's: as many as it
// has, or one more or fewer, and at most one character that no support ID has, none where one
// was left out.
bool OneErrorFromASupportId(std::u32string_view digits) {
  const auto foreign = std::count_if(digits.begin(), digits.end(), [](char32_t c) {
    return c >= 0x80 || support_id::DigitValue(static_cast<char>(c)) < 0;
  });
  if (digits.size() + 1 == support_id::kLength) return foreign == 0;
  return (digits.size() == support_id::kLength || digits.size() == support_id::kLength + 1) &&
         foreign <= 1;
}

}  // namespace

Query ReadQuery(std::u32string_view id) {
  const Reading reading = Read(id);
  Query query;
  if (reading.ok) query.exact = support_id::Encode(reading.machine.uuid);
  if (!reading.machine.typedAsUuid) {
    query.typed = SupportIdDigits(id);
    if (!OneErrorFromASupportId(query.typed)) query.typed.clear();
  }
  if (!query.exact && query.typed.empty()) query.why = reading.why;
  return query;
}

std::optional<std::string> OneErrorApart(std::u32string_view typed,
                                         const support_id::Text& machine) {
  const std::string_view id(machine.data(), machine.size());
  const auto at = [](std::size_t position) { return "position " + std::to_string(position + 1); };
  std::size_t first = 0;
  while (first < typed.size() && first < id.size() &&
         typed[first] == static_cast<char32_t>(id[first])) {
    ++first;
  }
  const auto same = [&](std::size_t typedFrom, std::size_t idFrom) {
    if (typed.size() - typedFrom != id.size() - idFrom) return false;
    for (std::size_t i = 0; typedFrom + i < typed.size(); ++i) {
      if (typed[typedFrom + i] != static_cast<char32_t>(id[idFrom + i])) return false;
    }
    return true;
  };
  if (typed.size() == id.size() && first < id.size()) {
    if (same(first + 1, first + 1)) {
      return at(first) + ": read " + Named(typed[first]) + ", the machine has " +
             Named(static_cast<char32_t>(id[first]));
    }
    if (first + 2 <= id.size() && typed[first] == static_cast<char32_t>(id[first + 1]) &&
        typed[first + 1] == static_cast<char32_t>(id[first]) && same(first + 2, first + 2)) {
      return "positions " + std::to_string(first + 1) + " and " + std::to_string(first + 2) +
             ": read " + Named(typed[first]) + " before " + Named(typed[first + 1]) +
             ", the machine has them the other way round";
    }
  } else if (typed.size() + 1 == id.size() && same(first, first + 1)) {
    return at(first) + ": the machine has " + Named(static_cast<char32_t>(id[first])) +
           ", which was left out";
  } else if (typed.size() == id.size() + 1 && same(first + 1, first)) {
    return at(first) + ": read " + Named(typed[first]) + ", which the machine does not have";
  }
  return std::nullopt;
}

}  // namespace kv::desk
