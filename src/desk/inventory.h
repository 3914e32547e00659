#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "desk/csv_reader.h"
#include "desk/id_conversion.h"
#include "desk/stream_io.h"

// What the inventory modes share: the header read and the column named in it, and each row's
// value in that column, or why there is none.
namespace kv::desk {

// A complaint on standard error, as quorin-id words them: one line.
void Complain(Sink& errors, const std::string& what);
void ComplainOfRow(Sink& errors, std::size_t row, const std::string& what);

struct Header {
  std::string raw;  // its bytes as they came, without its line end
  std::string end;
  std::size_t fields = 0;
  std::size_t column = 0;  // from 0
};

// The header, its column named by a header name or a number from 1: an exact name before one
// in another letter case; refused, with why, where no column or several have the name.
std::optional<Header> ReadHeader(CsvReader& reader, std::string_view column, Sink& errors);

// Why a row's fields are not the header's; nothing where they are.
std::optional<std::string> RowProblem(const Record& row, const Header& header);

// A row's value in the column, read: nothing where blank.
std::optional<Reading> ValueOf(const Record& row);

}  // namespace kv::desk
