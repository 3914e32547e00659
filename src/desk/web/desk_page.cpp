// The desk's page: quorin-id's own code, called from the page's script, which only draws what
// these answers say and hands over what the agent types and the inventory's bytes. Answers are
// JSON texts, valid until the next call.
#include <emscripten.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "desk/csv_reader.h"
#include "desk/exit_status.h"
#include "desk/id_conversion.h"
#include "desk/modes.h"
#include "desk/near_matches.h"
#include "desk/stream_io.h"

// The page's side is script, which clang-format would break.
// clang-format off
// The chosen inventory's bytes from offset on, at most size of them, read from the file in the
// page; 0 at its end, -1 where it cannot be read, or where what this pass is for is no longer
// wanted. The next piece is asked for at once, so that the file is read while this one is.
EM_ASYNC_JS(int, ReadInventory, (char* into, int size, double offset), {
  if (Module.superseded && Module.superseded()) return -1;
  const file = Module.inventory;
  const read = (at) => ({ file, at, bytes: file.slice(at, at + size).arrayBuffer() });
  if (!Module.ahead || Module.ahead.file !== file || Module.ahead.at !== offset) {
    Module.ahead = read(offset);
  }
  try {
    const piece = await Module.ahead.bytes;
    Module.ahead = piece.byteLength ? read(offset + piece.byteLength) : null;
    HEAPU8.set(new Uint8Array(piece), into);
    return piece.byteLength;
  } catch (e) {
    Module.ahead = null;
    return -1;
  }
});

// A piece of the inventory with its support IDs, for the page to save.
EM_JS(void, SaveInventoryPiece, (const char* bytes, int size),
      { Module.saved.push(HEAPU8.slice(bytes, bytes + size)); });
// clang-format on

namespace kv::desk::web {
namespace {

constexpr std::size_t kPieceSize = 1 << 20;      // bytes asked of the file at once
constexpr std::size_t kMostShown = 1 << 12;      // bytes of a field shown
constexpr std::size_t kMostOpening = 4 << 20;    // bytes read for the header and the first row
constexpr std::size_t kMostCollected = 8 << 20;  // bytes of rows found kept to show
constexpr std::size_t kMostRecords = 1001;       // the header and the rows shown
constexpr std::string_view kSaid = "quorin-id: ";

// The inventory, read afresh from its start for each pass, up to a limit where one is given:
// no pass keeps any of it.
class Inventory : public Source {
 public:
  explicit Inventory(std::uint64_t limit = UINT64_MAX) : limit_(limit) {}

  std::optional<std::size_t> Read(char* into, std::size_t size) override {
    if (start_ == end_) {
      if (offset_ >= limit_) return 0;
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
  std::uint64_t limit_;
  std::string piece_ = std::string(kPieceSize, '\0');
  std::size_t start_ = 0, end_ = 0;
  std::uint64_t offset_ = 0;
};

// What quorin-id says on standard error, a line each, without its name: the first kFirst lines
// and the last kLast (where the search sums up), with how many between were left out, so that
// an inventory of refused rows is not kept line by line.
class Lines : public Sink {
 public:
  static constexpr std::size_t kFirst = 200, kLast = 3;

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
        last_.erase(last_.begin());
        ++leftOut;
      }
    }
    return true;
  }
  // What was said, with an empty line where lines were left out.
  std::vector<std::string> Said() const {
    std::vector<std::string> said = first_;
    if (leftOut > 0) said.emplace_back();
    said.insert(said.end(), last_.begin(), last_.end());
    return said;
  }
  std::size_t leftOut = 0;

 private:
  std::string partial_;
  std::vector<std::string> first_, last_;
};

// Bytes kept in memory, up to a limit: what a search prints, to be read back as records.
class Collected : public Source, public Sink {
 public:
  bool Write(std::string_view bytes) override {
    const std::size_t room = kMostCollected - std::min(kMostCollected, bytes_.size());
    cut = cut || bytes.size() > room;
    bytes_.append(bytes.substr(0, room));
    return true;
  }
  std::optional<std::size_t> Read(char* into, std::size_t size) override {
    const std::size_t given = std::min(size, bytes_.size() - read_);
    std::copy_n(bytes_.data() + read_, given, into);
    read_ += given;
    return given;
  }
  bool cut = false;

 private:
  std::string bytes_;
  std::size_t read_ = 0;
};

class Discarded : public Sink {
 public:
  bool Write(std::string_view) override { return true; }
};

// A field as shown: its first kMostShown bytes, and whether there was more.
struct Field {
  std::string text;
  bool cut = false;
};
using Fields = std::vector<Field>;

// The first records of a source's CSV, in UTF-8 whatever it came in, the fields as far as
// shown; and, where asked, how many more there were.
struct Records {
  std::vector<Fields> shown;
  std::size_t more = 0;
};
Records ReadRecords(Source& source, std::size_t most, bool countRest) {
  Discarded discarded;
  Output output(discarded);
  Input input(source, output);
  CsvReader reader(input);
  Records records;
  Record record;
  while (records.shown.size() < most && reader.Next(record)) {
    if (!record.whole || record.trailingBlank) continue;
    Fields& fields = records.shown.emplace_back();
    for (std::string& value : record.values) {
      const bool cut = value.size() > kMostShown;
      value.resize(std::min(value.size(), kMostShown));
      fields.push_back({std::move(value), cut});
    }
  }
  while (countRest && reader.Next(record)) records.more += record.whole && !record.trailingBlank;
  return records;
}

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

std::string Shown(const Fields& fields) {
  return List(fields, [](const Field& field) {
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

// Where a row found is one reading error from the support ID typed: what differs, as --find
// says it, from the row's value in the column, counted from the first field or, where the row
// has fields to spare, from the last.
std::optional<std::string> Difference(const Query& query, const Fields& row, std::size_t column,
                                      std::size_t headerFields) {
  std::vector<std::size_t> at{column};
  if (row.size() > headerFields) at.push_back(column + row.size() - headerFields);
  for (const std::size_t i : at) {
    const std::optional<Reading> value =
        i < row.size() && !row[i].cut ? ReadUtf8(row[i].text) : std::nullopt;
    if (!value || !value->ok) continue;
    const support_id::Text machine = support_id::Encode(value->machine.uuid);
    if (query.exact && machine == *query.exact) return std::nullopt;
    if (auto difference = OneErrorApart(query.typed, machine)) return difference;
  }
  return std::nullopt;
}

}  // namespace
}  // namespace kv::desk::web

using namespace kv::desk;
using namespace kv::desk::web;

namespace {

// Where the first row does not tell: the one column named UUID, an exact name before one in
// another letter case, as --csv UUID picks it; nothing where none or several are.
std::optional<std::size_t> NamedUuid(const Fields& names) {
  for (const bool exact : {true, false}) {
    std::optional<std::size_t> found;
    std::size_t count = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string& name = names[i].text;
      const bool same = exact
                            ? name == "UUID"
                            : name.size() == 4 &&
                                  std::equal(name.begin(), name.end(), "UUID", [](char a, char b) {
                                    return std::toupper(static_cast<unsigned char>(a)) == b;
                                  });
      if (same) {
        found = i;
        ++count;
      }
    }
    if (count == 1) return found;
    if (count > 1) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

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

// The inventory's header, and the column whose first value is a UUID, where exactly one is, else
// the one named UUID: never a column picked for want of a better one.
EMSCRIPTEN_KEEPALIVE const char* desk_open() {
  Inventory inventory(kMostOpening);
  const Records opening = ReadRecords(inventory, 2, false);
  if (opening.shown.empty()) return Answer("{\"ok\":false}");
  std::size_t uuids = 0, guess = 0;
  if (opening.shown.size() > 1) {
    const Fields& row = opening.shown[1];
    for (std::size_t i = 0; i < row.size(); ++i) {
      const std::optional<Reading> value = ReadUtf8(row[i].text);
      if (value && value->ok && value->machine.typedAsUuid) {
        guess = i;
        ++uuids;
      }
    }
  }
  const std::optional<std::size_t> column =
      uuids == 1 ? std::optional<std::size_t>(guess) : NamedUuid(opening.shown[0]);
  return Answer("{\"ok\":true,\"names\":" + Shown(opening.shown[0]) +
                ",\"guess\":" + (column ? std::to_string(*column) : "null") + "}");
}

// The rows of the machine that id names, by --find's rules, in the inventory's column (a number
// from 1): where none has its support ID, those one reading error away, each with what differs;
// and what quorin-id says besides.
EMSCRIPTEN_KEEPALIVE const char* desk_find(const char* id, const char* column) {
  const std::u32string typed = FromUtf8(id).value_or(U"");
  Collected printed;
  Lines said;
  ExitStatus status = kFailed;
  {
    Inventory inventory;
    Output output(printed);
    status = FindInCsv(inventory, output, said, typed, column);
    output.Flush();
  }
  Records records = ReadRecords(printed, kMostRecords, true);
  // Where what was printed was cut, its last record may be too: it is not shown, and the rows
  // not shown are not counted.
  if (printed.cut) {
    if (records.more == 0 && records.shown.size() > 1) records.shown.pop_back();
    records.more = 0;
  }
  const Query query = ReadQuery(typed);
  const std::size_t headerFields = records.shown.empty() ? 0 : records.shown[0].size();
  std::vector<std::string> notes = said.Said();
  std::string rows = "[";
  bool exact = false;
  std::size_t differences = 0, unsaid = 0;
  for (std::size_t i = 1; i < records.shown.size(); ++i) {
    const Fields& row = records.shown[i];
    rows += (i > 1 ? ",{\"fields\":" : "{\"fields\":") + Shown(row);
    if (const auto difference = Difference(query, row, ColumnNumber(column) - 1, headerFields)) {
      rows += ",\"difference\":" + Quoted(*difference);
      // Said with the row's number, which the row shows here.
      ++differences;
      const auto said = std::find_if(notes.begin(), notes.end(), [&](const std::string& note) {
        return note.starts_with("row ") && note.ends_with(": " + *difference);
      });
      if (said != notes.end()) {
        rows += ",\"row\":" + std::to_string(std::strtoull(said->c_str() + 4, nullptr, 10));
        notes.erase(said);
        ++unsaid;
      }
    } else {
      exact = true;
    }
    rows += "}";
  }
  rows += "]";
  // Lines left out between those kept, less the differences among them, which the rows show.
  const std::size_t leftOut =
      said.leftOut - std::min(said.leftOut, differences - std::min(differences, unsaid));
  if (leftOut == 0) std::erase(notes, std::string());
  return Answer(
      "{\"status\":" + std::to_string(status) + ",\"exact\":" + (exact ? "true" : "false") +
      ",\"header\":" + (records.shown.empty() ? "[]" : Shown(records.shown[0])) +
      ",\"rows\":" + rows + ",\"moreRows\":" + std::to_string(records.more) +
      ",\"cut\":" + (printed.cut ? "true" : "false") + ",\"notes\":" + List(notes, Quoted) +
      ",\"leftOut\":" + std::to_string(leftOut) + "}");
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
