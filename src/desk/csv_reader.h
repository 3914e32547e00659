#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "desk/stream_io.h"

// CSV as RFC 4180 writes it, handed out a record at a time in bounded memory: fields in double
// quotes, with quotes doubled and commas and line breaks inside them; records ended by CRLF,
// LF or a CR alone, as spreadsheet programs read them. What the RFC leaves out is read
// leniently: a quote inside a field without quotes, and text after a closing quote, are part
// of the field. Blank lines after the last record are no records.
namespace kv::desk {

struct Record {
  std::size_t number = 0;  // from 1, the header's; none for a blank line at the end
  // The record's bytes as they came, without its line end; where it is not whole, the next
  // piece of them, the rest to come with the next calls.
  std::string raw;
  bool whole = false;
  bool trailingBlank = false;  // a blank line after the last record: its line end, and no row
  std::size_t fields = 0;
  std::string_view end;   // "\r\n", "\n", "\r", or nothing where the input ended
  bool unclosed = false;  // the input ended inside quotes
  // The kept field's value, its quotes undone: its first kKept bytes, and its characters.
  std::string value;
  std::size_t characters = 0;
  std::vector<std::string> values;  // every field's value, where the reader keeps them all
};

class CsvReader {
 public:
  static constexpr std::size_t kKept = 512;
  static constexpr std::size_t kPiece = 1 << 16;  // bytes of a record handed out at once

  explicit CsvReader(Input& input) : input_(input) {}

  // Which field's value the records give (from 0); until then, every field's.
  void Keep(std::size_t field) {
    column_ = field;
    keepAll_ = false;
  }

  // The next record, or the next piece of one; false at the end of the input.
  bool Next(Record& record);
  // Whether the input ended because it could not be read.
  bool readFailed() const { return input_.readFailed(); }

 private:
  enum class State { kFieldStart, kUnquoted, kQuoted, kQuoteInQuoted };

  bool End(Record& record, std::string_view end);
  void Value(Record& record, std::string_view piece);
  void EndField(Record& record);
  bool Blank(Record& record, bool trailing);

  Input& input_;
  std::size_t column_ = 0;
  bool keepAll_ = true;
  std::string fieldValue_;  // where every field is kept
  State state_ = State::kFieldStart;
  std::size_t field_ = 0;
  std::size_t number_ = 0;
  bool inRecord_ = false, continuing_ = false, pendingCr_ = false;
  // Blank lines not yet known to be inside the input or at its end: their line ends.
  std::vector<std::string_view> blanks_;
  std::size_t firstBlank_ = 0;
};

// The fields of one record's bytes, their quotes undone.
std::vector<std::string> SplitFields(std::string_view record);

}  // namespace kv::desk
