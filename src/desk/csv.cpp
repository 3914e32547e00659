#include "desk/csv.h"

namespace kv::desk {

void CsvReader::Feed(std::string_view bytes) {
  if (bytes.empty()) return;
  std::size_t raw = 0;  // the first byte not yet handed on as raw
  std::size_t run = 0;  // the first byte of the value not yet handed on
  const auto value = [&](std::size_t to) {
    if (to > run) handler_.Value(field_, bytes.substr(run, to - run));
    run = to;
  };
  const auto rawTo = [&](std::size_t to) {
    if (to > raw) handler_.Raw(bytes.substr(raw, to - raw));
    raw = to;
  };
  std::size_t i = 0;
  if (pendingCr_) {
    pendingCr_ = false;
    if (!bytes.empty() && bytes[0] == '\n') {
      EndRecord("\r\n");
      raw = run = i = 1;
    } else {
      handler_.Raw("\r");
      handler_.Value(field_, "\r");
    }
  }
  while (i < bytes.size()) {
    const char c = bytes[i];
    switch (state_) {
      case State::kFieldStart:
        inRecord_ = true;
        run = i;
        if (c == '"') {
          state_ = State::kQuoted;
          run = ++i;
          continue;
        }
        state_ = State::kUnquoted;
        continue;  // the same byte, as part of a field without quotes
      case State::kUnquoted:
        if (c == ',') {
          value(i);
          ++field_;
          state_ = State::kFieldStart;
        } else if (c == '\n' || (c == '\r' && (i + 1 == bytes.size() || bytes[i + 1] == '\n'))) {
          value(i);
          rawTo(i);
          if (c == '\r' && i + 1 == bytes.size()) {
            // Whether it ends the record, the next piece tells.
            pendingCr_ = true;
            raw = run = ++i;
            continue;
          }
          const bool crlf = c == '\r';
          i += crlf;
          EndRecord(crlf ? "\r\n" : "\n");
          raw = run = i + 1;
        }
        break;
      case State::kQuoted:
        if (c == '"') {
          value(i);
          state_ = State::kQuoteInQuoted;
        }
        break;
      case State::kQuoteInQuoted:
        if (c == '"') {
          // A doubled quote: one quote of the value.
          handler_.Value(field_, "\"");
          state_ = State::kQuoted;
          run = i + 1;
          break;
        }
        // The field's quotes are closed; what follows up to a comma is part of it.
        state_ = State::kUnquoted;
        run = i;
        continue;
    }
    ++i;
  }
  if (state_ == State::kUnquoted || state_ == State::kQuoted) value(bytes.size());
  rawTo(bytes.size());
}

void CsvReader::Finish() {
  if (pendingCr_) {
    pendingCr_ = false;
    EndRecord("\r");
    return;
  }
  if (!inRecord_) return;
  const bool unclosed = state_ == State::kQuoted;
  handler_.End(field_ + 1, "", unclosed);
  field_ = 0;
  state_ = State::kFieldStart;
  inRecord_ = false;
}

void CsvReader::EndRecord(std::string_view end) {
  handler_.End(field_ + 1, end, false);
  field_ = 0;
  state_ = State::kFieldStart;
  inRecord_ = false;
}

}  // namespace kv::desk
