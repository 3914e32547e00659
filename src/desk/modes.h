#pragma once

#include <string>
#include <string_view>

#include "desk/exit_status.h"
#include "desk/stream_io.h"

// quorin-id's ways through a whole input, each one loop over its lines or records, in bounded
// memory. Input in UTF-8, with or without a byte-order mark, or in UTF-16 with one, goes out
// in the encoding it came in. Each writes its complaints to errors, one line each, and returns
// its exit status; a failed write is the caller's to tell (Output::Flush).
namespace kv::desk {

// One value a line, either form, mixed: one line out for each line in, the other form, or an
// empty line where the value is refused or blank. Each line out ends as its line in did.
ExitStatus ConvertLines(Source& source, Output& out, Sink& errors);

// An inventory in CSV: every row as it came, with one field added at its end, the other form
// of its value in the column named (a header name, or a number from 1). The field's name is
// "SupportID" where the first value that converts is a UUID, "UUID" where it is a support ID;
// where none has converted within the first MiB of rows, or by the end, "SupportID", as
// inventories hold UUIDs. A row whose fields are not the header's, or whose value is refused,
// gets an empty field and a line on errors. Blank lines at the end go out as they came.
ExitStatus ConvertCsv(Source& source, Output& out, Sink& errors, std::string_view column);

// The header and the rows of the inventory that belong to the machine that id names: those
// whose value in the column is its support ID; where none is, those one reading error away
// from the support ID as typed, each with a line on errors that says what differs. A row whose
// fields are not the header's is said, and still searched where its column can be read; one
// that cannot be searched is said and counted, and where any was, the answer says so.
ExitStatus FindInCsv(Source& source, Output& out, Sink& errors, std::u32string_view id,
                     std::string_view column);

}  // namespace kv::desk
