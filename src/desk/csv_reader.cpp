#include "desk/csv_reader.h"

#include "desk/text_encodings.h"

namespace kv::desk {
namespace {

constexpr std::string_view kCrLf = "\r\n", kLf = "\n", kCr = "\r";
// Blank lines held back at once; more are rows.
constexpr std::size_t kMostBlanks = 1 << 12;

}  // namespace

void CsvReader::Value(Record& record, std::string_view piece) {
  if (keepAll_) {
    fieldValue_.append(piece);
  } else if (field_ == column_) {
    record.characters += Utf8Characters(piece);
    if (record.value.size() < kKept)
      record.value.append(piece.substr(0, kKept - record.value.size()));
  }
}

void CsvReader::EndField(Record& record) {
  if (keepAll_) record.values.push_back(std::move(fieldValue_));
  fieldValue_.clear();
}

bool CsvReader::End(Record& record, std::string_view end) {
  EndField(record);
  record.fields = field_ + 1;
  record.end = end;
  record.unclosed = state_ == State::kQuoted;
  record.whole = true;
  state_ = State::kFieldStart;
  field_ = 0;
  inRecord_ = continuing_ = false;
  return true;
}

// The first blank line held back: a row where more came after it, else a line end alone.
bool CsvReader::Blank(Record& record, bool trailing) {
  record.number = trailing ? 0 : ++number_;
  record.trailingBlank = trailing;
  record.end = blanks_[firstBlank_++];
  if (firstBlank_ == blanks_.size()) {
    blanks_.clear();
    firstBlank_ = 0;
  }
  record.fields = 1;
  record.whole = true;
  if (keepAll_) record.values.assign(1, std::string());
  return true;
}

bool CsvReader::Next(Record& record) {
  record.raw.clear();
  if (!continuing_) {
    record.number = 0;
    record.whole = record.trailingBlank = record.unclosed = false;
    record.fields = 0;
    record.end = {};
    record.value.clear();
    record.characters = 0;
    record.values.clear();
  }
  for (;;) {
    const std::string_view window = input_.Window();
    if (pendingCr_) {
      pendingCr_ = false;
      const bool lf = !window.empty() && window[0] == '\n';
      if (lf) input_.Take(1);
      if (inRecord_) return End(record, lf ? kCrLf : kCr);
      blanks_.push_back(lf ? kCrLf : kCr);
      continue;
    }
    if (window.empty()) {
      if (inRecord_) return End(record, {});
      if (firstBlank_ < blanks_.size()) return Blank(record, true);
      return false;
    }
    if (!inRecord_) {
      if (blanks_.size() - firstBlank_ >= kMostBlanks) return Blank(record, false);
      if (window[0] == '\n' || window[0] == '\r') {
        input_.Take(1);
        if (window[0] == '\n') {
          blanks_.push_back(kLf);
        } else {
          pendingCr_ = true;
        }
        continue;
      }
      if (firstBlank_ < blanks_.size()) return Blank(record, false);
      inRecord_ = continuing_ = true;
      record.number = ++number_;
    }

    const char* p = window.data();
    const std::size_t n = window.size();
    constexpr std::size_t kNone = std::string_view::npos;
    std::size_t i = 0, rawEnd = n;
    std::size_t from = state_ == State::kUnquoted || state_ == State::kQuoted ? 0 : kNone;
    const auto value = [&](std::size_t to) {
      if (from < to) Value(record, std::string_view(p + from, to - from));
      from = kNone;
    };
    while (i < n) {
      switch (state_) {
        case State::kFieldStart:
          if (p[i] == '"') {
            state_ = State::kQuoted;
            from = ++i;
          } else {
            state_ = State::kUnquoted;
            from = i;
          }
          continue;
        case State::kUnquoted: {
          while (i < n && p[i] != ',' && p[i] != '\n' && p[i] != '\r') ++i;
          if (i == n) continue;
          value(i);
          if (p[i] == ',') {
            EndField(record);
            ++field_;
            state_ = State::kFieldStart;
            ++i;
            continue;
          }
          if (p[i] == '\r' && i + 1 == n) {
            // Whether an LF follows the CR, the next read tells.
            rawEnd = i;
            pendingCr_ = true;
            i = n;
            continue;
          }
          record.raw.append(p, i);
          const bool crlf = p[i] == '\r' && p[i + 1] == '\n';
          input_.Take(i + 1 + crlf);
          return End(record, p[i] == '\n' ? kLf : crlf ? kCrLf : kCr);
        }
        case State::kQuoted: {
          const std::size_t quote = window.find('"', i);
          if (quote == kNone) {
            i = n;
            continue;
          }
          value(quote);
          state_ = State::kQuoteInQuoted;
          i = quote + 1;
          continue;
        }
        case State::kQuoteInQuoted:
          // A doubled quote is one quote of the value; else the quotes are closed, and what
          // follows up to a comma is part of the field.
          from = i;
          if (p[i] == '"') {
            state_ = State::kQuoted;
            ++i;
          } else {
            state_ = State::kUnquoted;
          }
          continue;
      }
    }
    value(n);
    record.raw.append(p, rawEnd);
    input_.Take(n);
    if (!pendingCr_ && record.raw.size() >= kPiece) return true;
  }
}

std::vector<std::string> SplitFields(std::string_view bytes) {
  Input input(bytes);
  CsvReader reader(input);
  Record record;
  std::vector<std::string> fields;
  while (reader.Next(record)) {
    if (!record.whole) continue;
    fields = std::move(record.values);
    break;
  }
  return fields;
}

}  // namespace kv::desk
