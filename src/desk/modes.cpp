#include "desk/modes.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "desk/csv_reader.h"
#include "desk/id_conversion.h"
#include "desk/inventory.h"
#include "desk/line_reader.h"
#include "desk/near_matches.h"

namespace kv::desk {
namespace {

constexpr std::size_t kMostHeld = 1 << 20;  // bytes of rows held back at once
constexpr std::size_t kMostNear = 1000;     // rows one error away that are kept to print
constexpr std::size_t kMostOther = support_id::kUuidTextLength;

// The status of a mode that read its input to the end, or stopped where it could not.
ExitStatus Ended(const Input& input, Sink& errors, ExitStatus status) {
  if (input.readFailed()) return kFailed;
  if (input.halfUnit()) {
    Complain(errors, "the input ends half-way through a UTF-16 character, which is left out");
    return status == kDone ? kRefused : status;
  }
  return status;
}

}  // namespace

ExitStatus ConvertLines(Source& source, Output& out, Sink& errors) {
  Input input(source, out);
  LineReader lines(input);
  ExitStatus status = kDone;
  std::size_t number = 0;
  char other[kMostOther];
  std::string_view end = LineReader::kLf;
  while (const std::optional<LineReader::Line> line = lines.Next()) {
    ++number;
    // A last line without a line end gets the one before it, so that the two stay two.
    if (!line->end.empty()) end = line->end;
    // The common forms first, read without a detour, and written where they go out.
    if (const std::optional<Machine> machine = ReadQuickly(line->text)) {
      char* room = out.Room(kMostOther + LineReader::kCrLf.size());
      const std::size_t size = OtherForm(*machine, std::span<char, kMostOther>(room, kMostOther));
      room[size] = end[0];
      if (end.size() > 1) room[size + 1] = end[1];
      out.Commit(size + end.size());
      continue;
    }
    if (const std::optional<Reading> value = ReadUtf8(line->text, line->cutFrom);
        value && value->ok) {
      out.Write(std::string_view(other, OtherForm(value->machine, other)));
    } else if (value) {
      Complain(errors, "line " + std::to_string(number) + ": " + value->why);
      status = kRefused;
    }
    out.Write(end);
  }
  return Ended(input, errors, status);
}

ExitStatus ConvertCsv(Source& source, Output& out, Sink& errors, std::string_view column) {
  Input input(source, out);
  CsvReader csv(input);
  const std::optional<Header> header = ReadHeader(csv, column, errors);
  if (!header) return Ended(input, errors, kRefused);
  // Rows are held back, up to kMostHeld bytes, until a value tells the added field's name.
  std::string held;
  bool deciding = true;
  const auto put = [&](std::string_view bytes) {
    if (deciding) {
      held.append(bytes);
    } else {
      out.Write(bytes);
    }
  };
  const auto decide = [&](bool holdsUuids) {
    deciding = false;
    out.Write(header->raw);
    out.Write(holdsUuids ? ",SupportID" : ",UUID");
    out.Write(header->end);
    out.Write(held);
    std::string().swap(held);
  };
  ExitStatus status = kDone;
  char other[kMostOther];
  Record row;
  while (csv.Next(row)) {
    put(row.raw);
    if (row.whole && row.trailingBlank) {
      put(row.end);
    } else if (row.whole) {
      std::size_t size = 0;
      if (const std::optional<std::string> problem = RowProblem(row, *header)) {
        ComplainOfRow(errors, row.number, *problem);
        status = kRefused;
      } else if (const std::optional<Reading> value = ValueOf(row); value && !value->ok) {
        ComplainOfRow(errors, row.number, value->why);
        status = kRefused;
      } else if (value) {
        size = OtherForm(value->machine, other);
        if (deciding) decide(value->machine.typedAsUuid);
      }
      put(",");
      put(std::string_view(other, size));
      put(row.end);
    }
    if (deciding && held.size() > kMostHeld) decide(true);
  }
  if (deciding) decide(true);
  return Ended(input, errors, status);
}

ExitStatus FindInCsv(Source& source, Output& out, Sink& errors, std::u32string_view id,
                     std::string_view column) {
  const Query query = ReadQuery(id);
  if (!query.why.empty()) {
    Complain(errors, query.why);
    return kRefused;
  }
  Input input(source, out);
  CsvReader csv(input);
  const std::optional<Header> header = ReadHeader(csv, column, errors);
  if (!header) return Ended(input, errors, kRefused);
  out.Write(header->raw);
  out.Write(header->end);

  struct Near {
    std::size_t row;
    std::string bytes;
    std::string difference;
    support_id::Text machine;
  };
  std::vector<Near> near;
  bool found = false;
  std::size_t skipped = 0;
  std::string bytes;  // the row's, up to kMostHeld
  bool tooLong = false;
  Record row;
  while (csv.Next(row)) {
    if (bytes.size() + row.raw.size() <= kMostHeld) {
      bytes.append(row.raw);
    } else {
      tooLong = true;
    }
    if (!row.whole || row.trailingBlank) continue;
    // The row's value where its column can be read: counted from the first field, and where
    // the row has fields to spare (a comma in a name without quotes), from the last.
    std::vector<std::optional<Reading>> values;
    const std::optional<std::string> problem = RowProblem(row, *header);
    if (row.fields > header->column) values.push_back(ValueOf(row));
    if (row.fields > header->fields && !tooLong) {
      const std::vector<std::string> fields = SplitFields(bytes);
      const std::size_t from = header->column + fields.size() - header->fields;
      if (from < fields.size()) values.push_back(ReadUtf8(fields[from]));
    }
    const auto ok = [](const std::optional<Reading>& value) { return value && value->ok; };
    std::string said = problem.value_or("");
    if (row.unclosed) {
      // The rest of the input is in its last field: whatever rows it holds go unsearched.
      said += ": the rest of the input is read into it, not searched";
      ++skipped;
    } else if (std::none_of(values.begin(), values.end(), ok)) {
      const auto refused = std::find_if(values.begin(), values.end(),
                                        [](const std::optional<Reading>& value) { return value; });
      if (refused != values.end()) said += (said.empty() ? "" : ": ") + (*refused)->why;
      // A blank line holds no machine; any other row without its column may.
      if (refused != values.end() || (values.empty() && !bytes.empty())) {
        said += ", not searched";
        ++skipped;
      }
    }
    if (!said.empty()) ComplainOfRow(errors, row.number, said);
    for (const std::optional<Reading>& value : values) {
      if (!ok(value)) continue;
      const support_id::Text machine = support_id::Encode(value->machine.uuid);
      std::optional<std::string> difference;
      if (!query.exact || machine != *query.exact) {
        if (found || query.typed.empty() || near.size() >= kMostNear) continue;
        difference = OneErrorApart(query.typed, machine);
        if (!difference) continue;
      }
      if (tooLong) {
        ComplainOfRow(errors, row.number,
                      (difference ? *difference : std::string("the machine's")) + "; longer than " +
                          std::to_string(kMostHeld) + " bytes: not printed");
        ++skipped;
      } else if (!difference) {
        found = true;
        out.Write(bytes);
        out.Write(row.end);
      } else {
        near.push_back({row.number, bytes + std::string(row.end), *difference, machine});
      }
      break;
    }
    bytes.clear();
    tooLong = false;
  }
  if (input.readFailed()) return kFailed;
  ExitStatus status = kNoMachine;
  if (found) {
    status = kDone;
  } else if (!near.empty()) {
    std::vector<support_id::Text> machines;
    for (const Near& each : near) {
      out.Write(each.bytes);
      ComplainOfRow(errors, each.row, each.difference);
      if (std::find(machines.begin(), machines.end(), each.machine) == machines.end()) {
        machines.push_back(each.machine);
      }
    }
    status = kDone;
    if (machines.size() > 1) {
      Complain(errors, "the support ID is ambiguous: " + std::to_string(machines.size()) +
                           " machines are one reading error away from it");
      status = kAmbiguous;
    }
  }
  // Without an exact match, rows not searched may hold the machine's.
  if (skipped > 0 && !found && status != kAmbiguous) {
    Complain(errors, std::to_string(skipped) + (skipped == 1 ? " row" : " rows") +
                         " could not be searched (said above), and no other row has that support "
                         "ID exactly: the machine may be among them");
    status = kNotAllRead;
  }
  return Ended(input, errors, status);
}

}  // namespace kv::desk
