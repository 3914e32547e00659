#include "desk/modes.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "desk/csv.h"
#include "desk/id_conversion.h"

namespace kv::desk {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kMostHeader = 1 << 16;  // bytes of a header's names
constexpr std::size_t kMostHeld = 1 << 20;    // bytes of rows held back at once
constexpr std::size_t kMostNear = 1000;       // rows one error away that are kept to print
constexpr std::size_t kPieceSize = 1 << 16;   // bytes read at once

void Complain(Sink& errors, const std::string& what) {
  errors.Write("quorin-id: " + what + "\n");
}

std::string Fields(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " field" : " fields");
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// What the inventory modes share: the input read through, its byte-order mark, the header and
// the column named in it, and each row's number, fields and value in that column.
class Inventory : public CsvHandler {
 public:
  Inventory(Output& out, Sink& errors, std::string_view column)
      : out_(out), errors_(errors), column_(column) {}

  int Run(Source& source) {
    CsvReader reader(*this);
    std::string piece(kPieceSize, '\0');
    // The input's first bytes, until they tell whether they are a byte-order mark: it goes out
    // with the header, as it came, and is no part of its first name.
    std::optional<std::string> opening = "";
    const auto open = [&] {
      std::string_view bytes = *opening;
      if (bytes.starts_with(kByteOrderMark)) {
        header_ = kByteOrderMark;
        bytes.remove_prefix(kByteOrderMark.size());
      }
      reader.Feed(bytes);
      opening.reset();
    };
    while (!stopped_) {
      out_.Flush();
      const std::optional<std::size_t> got = source.Read(piece.data(), piece.size());
      if (!got) return kFailed;
      if (*got == 0) break;
      const std::string_view bytes(piece.data(), *got);
      if (!opening) {
        reader.Feed(bytes);
        continue;
      }
      opening->append(bytes);
      if (opening->size() >= kByteOrderMark.size() || !kByteOrderMark.starts_with(*opening)) open();
    }
    if (opening) open();
    if (!stopped_) reader.Finish();
    if (!stopped_ && number_ == 1) Stop("the input has no header");
    if (stopped_) return kRefused;
    return Finished();
  }

 protected:
  // The header is read and its column found: its bytes are in header_.
  virtual void HeaderRead(std::string_view end) = 0;
  virtual void RowRaw(std::string_view bytes) = 0;
  // A row is read: its value in the column, nothing where blank; or where the row itself is
  // refused, problem says why.
  virtual void RowRead(const std::optional<Reading>& value, const std::string& problem,
                       std::string_view end) = 0;
  virtual int Finished() = 0;

  void ComplainOfRow(const std::string& what) {
    Complain(errors_, "row " + std::to_string(number_) + ": " + what);
  }

  Output& out_;
  Sink& errors_;
  std::string header_;
  std::size_t number_ = 1;  // of the row being read; the header's is 1

 private:
  void Raw(std::string_view bytes) final {
    if (stopped_) return;
    if (number_ > 1) {
      RowRaw(bytes);
    } else if (header_.size() + bytes.size() > kMostHeader) {
      Stop("the header is longer than " + std::to_string(kMostHeader) + " bytes");
    } else {
      header_.append(bytes);
    }
  }

  void Value(std::size_t field, std::string_view piece) final {
    if (stopped_) return;
    if (number_ == 1) {
      if (names_.size() <= field) names_.resize(field + 1);
      names_[field].append(piece);  // bounded by the header's bytes
    } else if (field == column_index_) {
      characters_ += Utf8Characters(piece);
      if (value_.size() < LineReader::kKept) {
        value_.append(piece.substr(0, LineReader::kKept - value_.size()));
      }
    }
  }

  void End(std::size_t fields, std::string_view end, bool unclosed) final {
    if (stopped_) return;
    if (number_ == 1) {
      fields_ = fields;
      if (!FindColumn()) return;
      HeaderRead(end);
    } else {
      std::string problem;
      if (unclosed) {
        problem = "a field's quotes are not closed";
      } else if (fields != fields_) {
        problem = "has " + Fields(fields) + " where the header has " + Fields(fields_);
      }
      const bool cut = value_.size() >= LineReader::kKept;
      RowRead(problem.empty() ? ReadUtf8(value_, cut ? std::optional(characters_) : std::nullopt)
                              : std::nullopt,
              problem, end);
    }
    ++number_;
    value_.clear();
    characters_ = 0;
  }

  // The header's name, exactly or in another letter case where only one has it so, or its
  // number from 1.
  bool FindColumn() {
    const auto named = std::find(names_.begin(), names_.end(), column_);
    std::size_t index = static_cast<std::size_t>(named - names_.begin());
    if (named == names_.end()) {
      const auto same = [&](const std::string& name) {
        return AsciiLower(name) == AsciiLower(column_);
      };
      if (std::count_if(names_.begin(), names_.end(), same) == 1) {
        index = static_cast<std::size_t>(std::find_if(names_.begin(), names_.end(), same) -
                                         names_.begin());
      } else if (!column_.empty() && column_.size() < 10 &&
                 std::all_of(column_.begin(), column_.end(),
                             [](char c) { return c >= '0' && c <= '9'; }) &&
                 std::stoul(column_) >= 1 && std::stoul(column_) <= fields_) {
        index = std::stoul(column_) - 1;
      } else {
        Stop("the header has no column \"" + column_ + "\"");
        return false;
      }
    }
    column_index_ = index;
    names_.clear();
    return true;
  }

  void Stop(const std::string& why) {
    Complain(errors_, why);
    stopped_ = true;
  }

  std::string column_;
  std::size_t column_index_ = 0;
  std::size_t fields_ = 0;
  std::vector<std::string> names_;
  std::string value_;  // the row's value in the column, or its first LineReader::kKept bytes
  std::size_t characters_ = 0;
  bool stopped_ = false;
};

class CsvConversion : public Inventory {
 public:
  using Inventory::Inventory;

 private:
  // Held back until a value tells which form the column holds, and so the new field's name.
  void HeaderRead(std::string_view end) override { headerEnd_ = end; }

  void RowRaw(std::string_view bytes) override { Put(bytes); }

  void RowRead(const std::optional<Reading>& value, const std::string& problem,
               std::string_view end) override {
    char other[36];
    std::size_t size = 0;
    if (!problem.empty()) {
      ComplainOfRow(problem);
      refused_ = true;
    } else if (value && !value->ok) {
      ComplainOfRow(value->why);
      refused_ = true;
    } else if (value) {
      size = OtherForm(value->machine, other);
    }
    if (deciding_ && value) Decide(value->machine.typedAsUuid);
    Put(",");
    Put(std::string_view(other, size));
    Put(end);
    // A column whose first rows are blank is taken for one of UUIDs, as inventories hold.
    if (deciding_ && held_.size() > kMostHeld) Decide(true);
  }

  int Finished() override {
    if (deciding_) Decide(true);
    return refused_ ? kRefused : kAllRead;
  }

  void Put(std::string_view bytes) {
    if (deciding_) {
      held_.append(bytes);
    } else {
      out_.Write(bytes);
    }
  }

  void Decide(bool holdsUuids) {
    deciding_ = false;
    out_.Write(header_);
    out_.Write(holdsUuids ? ",SupportID" : ",UUID");
    out_.Write(headerEnd_);
    out_.Write(held_);
    held_.clear();
    held_.shrink_to_fit();
  }

  std::string headerEnd_;
  std::string held_;
  bool deciding_ = true;
  bool refused_ = false;
};

// What differs between a support ID as typed and a machine's, where one reading error makes
// the one of the other; nothing where it takes none or more.
std::optional<std::string> OneErrorApart(std::u32string_view typed,
                                         const support_id::Text& machine) {
  const std::string_view id(machine.data(), machine.size());
  const auto at = [](std::size_t position) { return "position " + std::to_string(position + 1); };
  std::size_t first = 0;
  while (first < typed.size() && first < id.size() &&
         typed[first] == static_cast<char32_t>(id[first])) {
    ++first;
  }
  const auto same = [&](std::size_t typedFrom, std::size_t idFrom) {
    if (typed.size() - typedFrom != id.size() - idFrom) return false;
    for (std::size_t i = 0; typedFrom + i < typed.size(); ++i) {
      if (typed[typedFrom + i] != static_cast<char32_t>(id[idFrom + i])) return false;
    }
    return true;
  };
  if (typed.size() == id.size() && first < id.size()) {
    if (same(first + 1, first + 1)) {
      return at(first) + ": read " + Named(typed[first]) + ", the machine has " +
             Named(static_cast<char32_t>(id[first]));
    }
    if (first + 2 <= id.size() && typed[first] == static_cast<char32_t>(id[first + 1]) &&
        typed[first + 1] == static_cast<char32_t>(id[first]) && same(first + 2, first + 2)) {
      return "positions " + std::to_string(first + 1) + " and " + std::to_string(first + 2) +
             ": read " + Named(typed[first]) + " before " + Named(typed[first + 1]) +
             ", the machine has them the other way round";
    }
  } else if (typed.size() + 1 == id.size() && same(first, first + 1)) {
    return at(first) + ": the machine has " + Named(static_cast<char32_t>(id[first])) +
           ", which was left out";
  } else if (typed.size() == id.size() + 1 && same(first + 1, first)) {
    return at(first) + ": read " + Named(typed[first]) + ", which the machine does not have";
  }
  return std::nullopt;
}

class Search : public Inventory {
 public:
  Search(Output& out, Sink& errors, std::string_view column, std::optional<support_id::Text> exact,
         std::u32string typed)
      : Inventory(out, errors, column), exact_(exact), typed_(std::move(typed)) {}

 private:
  struct Near {
    std::size_t row;
    std::string bytes;
    std::string difference;
    support_id::Text machine;
  };

  void HeaderRead(std::string_view end) override {
    out_.Write(header_);
    out_.Write(end);
  }

  void RowRaw(std::string_view bytes) override {
    if (rowBytes_.size() + bytes.size() <= kMostHeld) {
      rowBytes_.append(bytes);
    } else {
      tooLong_ = true;
    }
  }

  void RowRead(const std::optional<Reading>& value, const std::string& problem,
               std::string_view end) override {
    std::string bytes = std::exchange(rowBytes_, {});
    const bool tooLong = std::exchange(tooLong_, false);
    if (!problem.empty() || !value) return;
    if (!value->ok) {
      ComplainOfRow(value->why + ", not searched");
      return;
    }
    const support_id::Text machine = support_id::Encode(value->machine.uuid);
    if (tooLong) {
      ComplainOfRow("longer than " + std::to_string(kMostHeld) + " bytes, not searched");
    } else if (exact_ && machine == *exact_) {
      found_ = true;
      out_.Write(bytes);
      out_.Write(end);
    } else if (!found_ && !typed_.empty() && near_.size() < kMostNear) {
      if (auto difference = OneErrorApart(typed_, machine)) {
        bytes.append(end);
        near_.push_back({number_, std::move(bytes), std::move(*difference), machine});
      }
    }
  }

  int Finished() override {
    if (found_) return kAllRead;
    if (near_.empty()) return kNoMachine;
    std::vector<support_id::Text> machines;
    for (const Near& near : near_) {
      out_.Write(near.bytes);
      Complain(errors_, "row " + std::to_string(near.row) + ": " + near.difference);
      if (std::find(machines.begin(), machines.end(), near.machine) == machines.end()) {
        machines.push_back(near.machine);
      }
    }
    if (machines.size() == 1) return kAllRead;
    Complain(errors_, "the support ID is ambiguous: " + std::to_string(machines.size()) +
                          " machines are one reading error away from it");
    return kAmbiguous;
  }

  std::optional<support_id::Text> exact_;
  std::u32string typed_;  // the digits as typed, where an error in them may be sought
  std::string rowBytes_;
  bool tooLong_ = false;
  bool found_ = false;
  std::vector<Near> near_;
};

// Whether one reading error can have made the digits typed of a support ID's: as many as it
// has, or one more or fewer, and at most one character that no support ID has, none where one
// was left out.
bool OneErrorFromASupportId(std::u32string_view digits) {
  const auto foreign = std::count_if(digits.begin(), digits.end(), [](char32_t c) {
    return !(c >= U'0' && c <= U'9') &&
           !(c >= U'A' && c <= U'Z' && c != U'I' && c != U'L' && c != U'O' && c != U'U');
  });
  if (digits.size() + 1 == support_id::kLength) return foreign == 0;
  return (digits.size() == support_id::kLength || digits.size() == support_id::kLength + 1) &&
         foreign <= 1;
}

}  // namespace

int ConvertLines(Source& source, Output& out, Sink& errors) {
  LineReader lines(source, out);
  int status = kAllRead;
  std::size_t number = 0;
  char other[36];
  while (const std::optional<LineReader::Line> line = lines.Next()) {
    std::string_view text = line->text;
    std::optional<std::size_t> characters = line->cutFrom;
    // A mark at the start goes out as it came, and is no part of the first value.
    if (++number == 1 && text.starts_with(kByteOrderMark)) {
      out.Write(kByteOrderMark);
      text.remove_prefix(kByteOrderMark.size());
      if (characters) --*characters;
    }
    // A last line without a line end gets one.
    const std::string_view end = line->end.empty() ? LineReader::kLf : line->end;
    // The common forms first, read without a detour, and written where they go out.
    if (const std::optional<Machine> machine = ReadQuickly(text)) {
      char* room = out.Room(sizeof other + LineReader::kCrLf.size());
      const std::size_t size = OtherForm(*machine, std::span<char, 36>(room, sizeof other));
      room[size] = end[0];
      if (end.size() > 1) room[size + 1] = end[1];
      out.Commit(size + end.size());
      continue;
    }
    if (const std::optional<Reading> value = ReadUtf8(text, characters); value && value->ok) {
      out.Write(std::string_view(other, OtherForm(value->machine, other)));
    } else if (value) {
      Complain(errors, "line " + std::to_string(number) + ": " + value->why);
      status = kRefused;
    }
    out.Write(end);
  }
  return lines.readFailed() ? kFailed : status;
}

int ConvertCsv(Source& source, Output& out, Sink& errors, std::string_view column) {
  return CsvConversion(out, errors, column).Run(source);
}

int FindInCsv(Source& source, Output& out, Sink& errors, std::u32string_view id,
              std::string_view column) {
  const Reading reading = Read(id);
  std::optional<support_id::Text> exact;
  std::u32string typed;
  if (reading.ok) exact = support_id::Encode(reading.machine.uuid);
  if (!reading.machine.typedAsUuid) {
    typed = SupportIdDigits(id);
    if (!OneErrorFromASupportId(typed)) typed.clear();
  }
  if (!exact && typed.empty()) {
    Complain(errors, reading.why);
    return kRefused;
  }
  return Search(out, errors, column, exact, std::move(typed)).Run(source);
}

}  // namespace kv::desk
