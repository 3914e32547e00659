// The desk's page: quorin-id's own code, called from the page's script, which only draws what
// these answers say and hands over what the agent types and the inventory's bytes. Answers are
// JSON texts, valid until the next call.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "desk/csv.h"
#include "desk/id_conversion.h"
#include "desk/modes.h"
#include "desk/streams.h"

// The chosen inventory's bytes from offset on, at most size of them, read from the file in the
// page; 0 at its end, -1 where it cannot be read, or where what this pass is for is no longer
// wanted.
EM_ASYNC_JS(int, ReadInventory, (char* into, int size, double offset), {
  if (Module.superseded && Module.superseded()) return -1;
  try {
    const piece = await Module.inventory.slice(offset, offset + size).arrayBuffer();
    HEAPU8.set(new Uint8Array(piece), into);
    return piece.byteLength;
  } catch (e) {
    return -1;
  }
});

// A piece of the inventory with its support IDs, for the page to save.
EM_JS(void, SaveInventoryPiece, (const char* bytes, int size),
      { Module.saved.push(HEAPU8.slice(bytes, bytes + size)); });

namespace kv::desk::web {
namespace {

constexpr std::size_t kPieceSize = 1 << 20;    // bytes asked of the file at once
constexpr std::size_t kMostShown = 1 << 12;    // bytes of a field shown
constexpr std::size_t kMostOpening = 4 << 20;  // bytes read for the header and the first row
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kSaid = "quorin-id: ";

// The inventory, read afresh from its start for each pass: no pass keeps any of it.
class Inventory : public Source {
 public:
  std::optional<std::size_t> Read(char* into, std::size_t size) override {
    if (start_ == end_) {
      const int got = ReadInventory(piece_.data(), static_cast<int>(piece_.size()),
                                    static_cast<double>(offset_));
      if (got < 0) return std::nullopt;
      offset_ += static_cast<std::uint64_t>(got);
      start_ = 0;
      end_ = static_cast<std::size_t>(got);
    }
    const std::size_t given = std::min(size, end_ - start_);
    std::copy_n(piece_.data() + start_, given, into);
    start_ += given;
    return given;
  }

 private:
  std::string piece_ = std::string(kPieceSize, '\0');
  std::size_t start_ = 0, end_ = 0;
  std::uint64_t offset_ = 0;
};

// What quorin-id says on standard error, a line each, without its name: the first kFirst lines
// and the last kLast (where --find says what differs), with how many between were left out, so
// that an inventory of refused rows is not kept line by line.
class Lines : public Sink {
 public:
  static constexpr std::size_t kFirst = 100, kLast = 1001;

  bool Write(std::string_view bytes) override {
    partial_.append(bytes);
    for (std::size_t end; (end = partial_.find('\n')) != std::string::npos;) {
      std::string line = partial_.substr(0, end);
      partial_.erase(0, end + 1);
      if (line.starts_with(kSaid)) line.erase(0, kSaid.size());
      if (first_.size() < kFirst) {
        first_.push_back(std::move(line));
        continue;
      }
      last_.push_back(std::move(line));
      if (last_.size() > kLast) {
        last_.pop_front();
        ++leftOut;
      }
    }
    return true;
  }
  std::vector<std::string> Said() const {
    std::vector<std::string> said = first_;
    said.insert(said.end(), last_.begin(), last_.end());
    return said;
  }
  std::size_t leftOut = 0;

 private:
  std::string partial_;
  std::vector<std::string> first_;
  std::deque<std::string> last_;
};

// A field as shown: its first kMostShown bytes, and whether there was more.
struct Field {
  std::string text;
  bool cut = false;
};
using Record = std::vector<Field>;

// Records read into their fields, for a table, as far as shown: the first kMostRecords, with how
// many more there were; a byte-order mark is no part of the first name.
class Table : public CsvHandler, public Sink {
 public:
  bool Write(std::string_view bytes) override {
    if (std::exchange(first_, false) && bytes.starts_with(kByteOrderMark)) {
      bytes.remove_prefix(kByteOrderMark.size());
    }
    reader_.Feed(bytes);
    return true;
  }
  void Finish() { reader_.Finish(); }
  static constexpr std::size_t kMostRecords = 1001;
  std::vector<Record> records;
  std::size_t more = 0;

 private:
  void Raw(std::string_view) override {}
  void Value(std::size_t field, std::string_view piece) override {
    if (record_.size() <= field) record_.resize(field + 1);
    Field& shown = record_[field];
    const std::size_t room = kMostShown - std::min(kMostShown, shown.text.size());
    shown.cut = shown.cut || piece.size() > room;
    shown.text.append(piece.substr(0, room));
  }
  void End(std::size_t, std::string_view, bool) override {
    if (records.size() < kMostRecords) {
      records.push_back(std::exchange(record_, {}));
    } else {
      record_.clear();
      ++more;
    }
  }

  CsvReader reader_{*this};
  Record record_;
  bool first_ = true;
};

// JSON, written as it is built. A text that is not UTF-8 has each byte of the kind replaced by
// U+FFFD, so that nothing unreadable is shown as if it had been read.
std::string Quoted(std::string_view text) {
  const bool valid = FromUtf8(text).has_value();
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20) {
      constexpr char kHex[] = "0123456789abcdef";
      quoted += "\\u00";
      quoted += kHex[byte >> 4];
      quoted += kHex[byte & 15];
    } else if (byte >= 0x80 && !valid) {
      quoted += "\\ufffd";
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

template <typename T, typename F>
std::string List(const std::vector<T>& items, F each) {
  std::string list = "[";
  for (const T& item : items) list += (list.size() > 1 ? "," : "") + each(item);
  return list + "]";
}

std::string Fields(const Record& record) {
  return List(record, [](const Field& field) {
    return "{\"text\":" + Quoted(field.text) + ",\"cut\":" + (field.cut ? "true" : "false") + "}";
  });
}

std::string answer;

const char* Answer(std::string json) {
  answer = std::move(json);
  return answer.c_str();
}

// The support ID as a person reads it back: in groups of four.
std::string InGroups(const support_id::Text& id) {
  std::string grouped;
  for (std::size_t i = 0; i < id.size(); ++i) {
    if (i > 0 && i % 4 == 0) grouped += ' ';
    grouped += id[i];
  }
  return grouped;
}

// A column's number from 1, as the page gives it; 0 for anything else.
std::size_t ColumnNumber(const char* column) {
  char* end = nullptr;
  const unsigned long number = std::strtoul(column, &end, 10);
  return *end == '\0' ? number : 0;
}

}  // namespace
}  // namespace kv::desk::web

using namespace kv::desk;
using namespace kv::desk::web;

extern "C" {

// What was typed, in UTF-8: nothing where it is blank; else the other form, and the support ID
// in groups, or why it names no machine.
EMSCRIPTEN_KEEPALIVE const char* desk_convert(const char* typed) {
  const std::optional<Reading> reading = ReadUtf8(typed);
  if (!reading) return Answer("{\"blank\":true}");
  if (!reading->ok) return Answer("{\"ok\":false,\"why\":" + Quoted(reading->why) + "}");
  char other[36];
  const std::string_view text(other, OtherForm(reading->machine, other));
  return Answer("{\"ok\":true,\"text\":" + Quoted(text) +
                ",\"isUuid\":" + (reading->machine.typedAsUuid ? "false" : "true") +
                ",\"grouped\":" + Quoted(InGroups(kv::support_id::Encode(reading->machine.uuid))) +
                "}");
}

// The inventory's header, and the column whose first value is a UUID, where exactly one is.
EMSCRIPTEN_KEEPALIVE const char* desk_open() {
  Inventory inventory;
  Table opening;
  std::string piece(1 << 16, '\0');
  std::size_t read = 0;
  while (opening.records.size() < 2 && read < kMostOpening) {
    const std::optional<std::size_t> got = inventory.Read(piece.data(), piece.size());
    if (!got) return Answer("{\"ok\":false}");
    if (*got == 0) break;
    read += *got;
    opening.Write(std::string_view(piece.data(), *got));
  }
  if (opening.records.size() < 2) opening.Finish();
  if (opening.records.empty()) return Answer("{\"ok\":false}");
  std::size_t uuids = 0, guess = 0;
  if (opening.records.size() > 1) {
    const Record& row = opening.records[1];
    for (std::size_t i = 0; i < row.size(); ++i) {
      const std::optional<Reading> value = ReadUtf8(row[i].text);
      if (value && value->ok && value->machine.typedAsUuid) {
        guess = i;
        ++uuids;
      }
    }
  }
  return Answer("{\"ok\":true,\"names\":" + Fields(opening.records[0]) +
                ",\"guess\":" + (uuids == 1 ? std::to_string(guess) : "null") + "}");
}

// The rows of the machine that id names, by --find's rules, in the inventory's column (a number
// from 1): where none has its support ID, those one reading error away, each with what differs.
EMSCRIPTEN_KEEPALIVE const char* desk_find(const char* id, const char* column) {
  const std::u32string typed = FromUtf8(id).value_or(U"");
  Table table;
  Lines said;
  Inventory inventory;
  Output output(table);
  const int status = FindInCsv(inventory, output, said, typed, column);
  output.Flush();
  table.Finish();
  // The header, then the machine's rows; or those one error away, whose differences are said
  // last, in the same order, before the ambiguity where there is one.
  const std::size_t found = table.records.empty() ? 0 : table.records.size() - 1;
  const Reading reading = Read(typed);
  const std::size_t index = ColumnNumber(column) - 1;
  bool exact = reading.ok && found > 0;
  for (std::size_t i = 1; i <= found && exact; ++i) {
    const Record& fields = table.records[i];
    const std::optional<Reading> value =
        index < fields.size() ? ReadUtf8(fields[index].text) : std::nullopt;
    exact = value && value->ok && value->machine.uuid == reading.machine.uuid;
  }
  std::vector<std::string> notes = said.Said();
  std::string ambiguous = "null";
  if (status == kAmbiguous && !notes.empty()) {
    ambiguous = Quoted(notes.back());
    notes.pop_back();
  }
  std::vector<std::string> differences;
  if (!exact && found > 0 && notes.size() >= found) {
    differences.assign(notes.end() - static_cast<std::ptrdiff_t>(found), notes.end());
    notes.resize(notes.size() - found);
  }
  std::string rows = "[";
  for (std::size_t i = 1; i <= found; ++i) {
    rows += (i > 1 ? ",{\"fields\":" : "{\"fields\":") + Fields(table.records[i]);
    if (!differences.empty()) rows += ",\"difference\":" + Quoted(differences[i - 1]);
    rows += "}";
  }
  rows += "]";
  return Answer(
      "{\"status\":" + std::to_string(status) + ",\"exact\":" + (exact ? "true" : "false") +
      ",\"header\":" + (table.records.empty() ? "[]" : Fields(table.records[0])) + ",\"rows\":" +
      rows + ",\"moreRows\":" + std::to_string(table.more) + ",\"notes\":" + List(notes, Quoted) +
      ",\"leftOut\":" + std::to_string(said.leftOut) + ",\"ambiguous\":" + ambiguous + "}");
}

// The inventory with the support-ID column added, as quorin-id --csv writes it, in pieces to the
// page; what was refused, a line each.
EMSCRIPTEN_KEEPALIVE const char* desk_save(const char* column) {
  class Pieces : public Sink {
   public:
    bool Write(std::string_view bytes) override {
      SaveInventoryPiece(bytes.data(), static_cast<int>(bytes.size()));
      return true;
    }
  } pieces;
  Lines said;
  Inventory inventory;
  Output output(pieces);
  int status = ConvertCsv(inventory, output, said, column);
  if (!output.Flush()) status = kFailed;
  return Answer("{\"status\":" + std::to_string(status) + ",\"notes\":" +
                List(said.Said(), Quoted) + ",\"leftOut\":" + std::to_string(said.leftOut) + "}");
}

}  // extern "C"
