// quorin-id's ways through a whole input, on any bytes: the result never depends on how the
// input is cut into reads; a line gives exactly one line out; and where the quick reading
// reads a value, it reads what the full reading reads.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

#include "desk/id_conversion.h"
#include "desk/modes.h"
#include "require.h"

namespace {

using namespace kv::desk;

class Pieces : public Source {
 public:
  Pieces(std::string_view bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  std::optional<std::size_t> Read(char* into, std::size_t size) override {
    const std::size_t count = std::min({size, size_, bytes_.size()});
    bytes_.copy(into, count);
    bytes_.remove_prefix(count);
    return count;
  }

 private:
  std::string_view bytes_;
  std::size_t size_;
};

class Kept : public Sink {
 public:
  bool Write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

struct Result {
  int status;
  std::string out, errors;
  bool operator==(const Result&) const = default;
};

template <class Mode>
Result Run(std::string_view input, std::size_t piece, Mode&& mode) {
  Pieces source(input, piece);
  Kept out, errors;
  Output output(out);
  const int status = mode(source, output, errors);
  output.Flush();
  return {status, out.text, errors.text};
}

}  // namespace

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
  const Result whole = Run(input, input.size() + 1, run);
  REQUIRE(Run(input, piece, run) == whole);
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
