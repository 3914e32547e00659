#pragma once

#include <string>
#include <string_view>

#include "desk/streams.h"

// quorin-id's ways through a whole input, one pass each, in constant memory. Each writes its
// complaints to errors, one line each, and returns its exit status; a failed write is the
// caller's to tell (Output::Flush).
namespace kv::desk {

inline constexpr int kAllRead = 0;    // every value read
inline constexpr int kFailed = 1;     // the input could not be read, or the output written
inline constexpr int kRefused = 2;    // some value, or the request itself, refused
inline constexpr int kNoMachine = 3;  // --find: no row of that machine
inline constexpr int kAmbiguous = 4;  // --find: rows of several machines, one error away

// One value a line, either form, mixed: one line out for each line in, the other form, or an
// empty line where the value is refused or blank. Each line out ends as its line in did.
int ConvertLines(Source& source, Output& out, Sink& errors);

// An inventory in CSV: every row as it came, with one field added at its end, the other form
// of its value in the column named (a header name, or a number from 1): "SupportID" where
// the column holds UUIDs, "UUID" where it holds support IDs, as its first value says. A row
// whose fields are not the header's, or whose value is refused, gets an empty field.
int ConvertCsv(Source& source, Output& out, Sink& errors, std::string_view column);

// The header and the rows of the inventory that belong to the machine that id names: those
// whose value in the column is its support ID; where none is, those one reading error away
// from the support ID as typed (a character replaced, two neighbours swapped, one left out or
// one added), each with a line on errors that says what differs.
int FindInCsv(Source& source, Output& out, Sink& errors, std::u32string_view id,
              std::string_view column);

}  // namespace kv::desk
