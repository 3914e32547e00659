#include "desk/inventory.h"

#include <algorithm>
#include <vector>

namespace kv::desk {
namespace {

constexpr std::size_t kMostHeader = CsvReader::kPiece;  // bytes of a header

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string Fields(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " field" : " fields");
}

// A name in quotes, as messages give it.
std::string Quoted(std::string_view name) {
  std::string quoted(1, '"');
  quoted.append(name);
  quoted += '"';
  return quoted;
}

// "columns 1 ("Uuid") and 2 ("UUID")", and how to pick one: "--csv 1 or --csv 2".
std::string SeveralColumns(const std::vector<std::string>& names,
                           const std::vector<std::size_t>& columns, const std::string& why) {
  std::string listed, picks;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const std::string separator = i == 0 ? "" : i + 1 == columns.size() ? " and " : ", ";
    const std::string number = std::to_string(columns[i] + 1);
    listed += separator + number + " (" + Quoted(names[columns[i]]) + ")";
    picks += (i == 0 ? "" : i + 1 == columns.size() ? " or " : ", ") + ("--csv " + number);
  }
  return "columns " + listed + " are " + (columns.size() == 2 ? "both " : "all ") + why +
         ": name one by its number, " + picks;
}

std::optional<std::size_t> FindColumn(const std::vector<std::string>& names,
                                      std::string_view column, Sink& errors) {
  std::vector<std::size_t> exact, caseless;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == column) exact.push_back(i);
    if (AsciiLower(names[i]) == AsciiLower(column)) caseless.push_back(i);
  }
  const std::string quoted = Quoted(column);
  if (exact.size() == 1) return exact[0];
  if (exact.size() > 1) {
    Complain(errors, SeveralColumns(names, exact, "named " + quoted));
    return std::nullopt;
  }
  if (caseless.size() == 1) return caseless[0];
  if (caseless.size() > 1) {
    Complain(errors, SeveralColumns(names, caseless, quoted + " when case is ignored"));
    return std::nullopt;
  }
  if (!column.empty() && column.size() < 10 &&
      std::all_of(column.begin(), column.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    const std::size_t number = std::stoul(std::string(column));
    if (number >= 1 && number <= names.size()) return number - 1;
  }
  Complain(errors, "the header has no column " + quoted);
  return std::nullopt;
}

}  // namespace

void Complain(Sink& errors, const std::string& what) {
  errors.Write("quorin-id: " + what + "\n");
}

void ComplainOfRow(Sink& errors, std::size_t row, const std::string& what) {
  Complain(errors, "row " + std::to_string(row) + ": " + what);
}

std::optional<Header> ReadHeader(CsvReader& reader, std::string_view column, Sink& errors) {
  Record record;
  if (!reader.Next(record) || record.trailingBlank) {
    if (!reader.readFailed()) Complain(errors, "the input has no header");
    return std::nullopt;
  }
  if (!record.whole) {
    Complain(errors, "the header is longer than " + std::to_string(kMostHeader) + " bytes");
    return std::nullopt;
  }
  const std::optional<std::size_t> index = FindColumn(record.values, column, errors);
  if (!index) return std::nullopt;
  reader.Keep(*index);
  return Header{std::move(record.raw), std::string(record.end), record.fields, *index};
}

std::optional<std::string> RowProblem(const Record& row, const Header& header) {
  if (row.unclosed) return "a field's quotes are not closed";
  if (row.fields != header.fields) {
    return "has " + Fields(row.fields) + " where the header has " + Fields(header.fields);
  }
  return std::nullopt;
}

std::optional<Reading> ValueOf(const Record& row) {
  const bool cut = row.value.size() >= CsvReader::kKept;
  return ReadUtf8(row.value, cut ? std::optional(row.characters) : std::nullopt);
}

}  // namespace kv::desk
