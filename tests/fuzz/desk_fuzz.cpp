// quorin-id's ways through a whole input, on any bytes: the result never depends on how the
// input is cut into reads; a line gives exactly one line out; and where the quick reading
// reads a value, it reads what the full reading reads.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

#include "desk/id_conversion.h"
#include "desk/modes.h"
#include "fakes/fake_streams.h"
#include "require.h"

using namespace kv::desk;
using kv::test::RunMode;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const int mode = data.ConsumeIntegralInRange(0, 2);
  const std::size_t piece = data.ConsumeIntegralInRange<std::size_t>(1, 64);
  const std::string column = data.ConsumeRandomLengthString(8);
  const std::string input = data.ConsumeRemainingBytesAsString();
  const auto run = [&](Source& source, Output& out, Sink& errors) {
    if (mode == 0) return ConvertLines(source, out, errors);
    if (mode == 1) return ConvertCsv(source, out, errors, column);
    return FindInCsv(source, out, errors, std::u32string(column.begin(), column.end()), "1");
  };
  const auto whole = RunMode(input, input.size() + 1, run);
  REQUIRE(RunMode(input, piece, run) == whole);
  if (mode != 0) return 0;
  const std::size_t lines = static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n')) +
                            (!input.empty() && input.back() != '\n');
  REQUIRE(static_cast<std::size_t>(std::count(whole.out.begin(), whole.out.end(), '\n')) == lines);
  for (std::size_t start = 0; start < input.size();) {
    const std::size_t end = std::min(input.find('\n', start), input.size());
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
