#pragma once

#include <cstddef>
#include <string_view>

// CSV as RFC 4180 writes it, read a piece at a time in constant memory: fields in double
// quotes, with quotes doubled and commas and line breaks inside them; records ended by CRLF or
// LF. What the RFC leaves out is read leniently: a quote inside a field without quotes, and
// text after a closing quote, are part of the field; a CR alone is part of its field, but at
// the very end of the input, where it ends the record.
namespace kv::desk {

// Told, record by record, what was read.
class CsvHandler {
 public:
  virtual ~CsvHandler() = default;
  // The record's bytes as they came, without its line end, in pieces, in order.
  virtual void Raw(std::string_view bytes) = 0;
  // A piece of field's value (counted from 0), its quotes undone, in order.
  virtual void Value(std::size_t field, std::string_view piece) = 0;
  // The record is read: it had this many fields and ended so ("\r\n", "\n", or nothing at the
  // end of the input); unclosed where the input ended inside quotes.
  virtual void End(std::size_t fields, std::string_view end, bool unclosed) = 0;
};

class CsvReader {
 public:
  explicit CsvReader(CsvHandler& handler) : handler_(handler) {}

  // Any piece of the input, in order.
  void Feed(std::string_view bytes);
  // The input is over.
  void Finish();

 private:
  enum class State { kFieldStart, kUnquoted, kQuoted, kQuoteInQuoted };

  void EndRecord(std::string_view end);

  CsvHandler& handler_;
  State state_ = State::kFieldStart;
  std::size_t field_ = 0;
  bool inRecord_ = false;   // a byte of the record has been read
  bool pendingCr_ = false;  // the last piece ended in a CR outside quotes
};

}  // namespace kv::desk
