// quorin-id's ways through a whole input, on any bytes, with LF, CR or CRLF line ends and in
// UTF-16 too: the result never depends on how the input is cut into reads; a line gives
// exactly one line out; UTF-16 gives what its UTF-8 gives, in UTF-16; and where the quick
// reading reads a value, it reads what the full reading reads.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

#include "desk/id_conversion.h"
#include "desk/modes.h"
#include "fakes/fake_streams.h"
#include "require.h"

using namespace kv::desk;
using kv::test::RunMode;

namespace {

// ASCII as UTF-16 with its mark, little or big endian.
std::string Utf16(std::string_view ascii, bool bigEndian) {
  std::string wide = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : ascii) wide += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  return wide;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const int mode = data.ConsumeIntegralInRange(0, 2);
  const int ends = data.ConsumeIntegralInRange(0, 2);  // as given, LF as CR, LF as CRLF
  const std::size_t piece = data.ConsumeIntegralInRange<std::size_t>(1, 64);
  const std::string column = data.ConsumeRandomLengthString(8);
  std::string input;
  for (const char c : data.ConsumeRemainingBytesAsString()) {
    input += c != '\n' || ends == 0 ? std::string(1, c) : ends == 1 ? "\r" : "\r\n";
  }
  const auto run = [&](Source& source, Output& out, Sink& errors) {
    if (mode == 0) return ConvertLines(source, out, errors);
    if (mode == 1) return ConvertCsv(source, out, errors, column);
    return FindInCsv(source, out, errors, std::u32string(column.begin(), column.end()), "1");
  };
  const auto whole = RunMode(input, input.size() + 1, run);
  REQUIRE(RunMode(input, piece, run) == whole);

  const bool marked = input.starts_with("\xFF\xFE") || input.starts_with("\xFE\xFF") ||
                      input.starts_with("\xEF\xBB\xBF");
  if (!marked && std::all_of(input.begin(), input.end(), [](char c) { return c > 0; })) {
    for (const bool bigEndian : {false, true}) {
      const auto wide = RunMode(Utf16(input, bigEndian), piece, run);
      REQUIRE(wide.status == whole.status && wide.errors == whole.errors);
      REQUIRE(wide.out == (whole.out.empty() ? "" : Utf16(whole.out, bigEndian)));
    }
  }
  if (mode != 0 || marked) return 0;
  // A line ends in LF, CRLF or a CR alone, or with the input. (Where a CR alone and an LF alone
  // both end lines, an empty line after a CR line reads as its LF: not counted then.)
  std::size_t lines = 0, crs = 0, lfs = 0;
  for (std::size_t i = 0; i < input.size(); ++i) {
    const bool cr = input[i] == '\r' && (i + 1 == input.size() || input[i + 1] != '\n');
    const bool lf = input[i] == '\n' && (i == 0 || input[i - 1] != '\r');
    crs += cr;
    lfs += lf;
    lines += cr || input[i] == '\n';
  }
  lines += !input.empty() && input.back() != '\n' && input.back() != '\r';
  const std::string& out = whole.out;
  std::size_t linesOut = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    linesOut += out[i] == '\n' || (out[i] == '\r' && (i + 1 == out.size() || out[i + 1] != '\n'));
  }
  REQUIRE(linesOut == lines || (crs > 0 && lfs > 0));
  for (std::size_t start = 0; start < input.size();) {
    const std::size_t end = std::min(input.find_first_of("\r\n", start), input.size());
    const std::string_view line(input.data() + start, end - start);
    if (const auto machine = ReadQuickly(line)) {
      const Reading full = Read(std::u32string(line.begin(), line.end()));
      REQUIRE(full.ok && full.machine.uuid == machine->uuid &&
              full.machine.typedAsUuid == machine->typedAsUuid);
    }
    start = end + 1;
  }
  return 0;
}
