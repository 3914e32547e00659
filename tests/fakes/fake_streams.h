// In-memory ends of quorin-id's streams, for its tests and fuzzer: an input handed over a few
// bytes a read, so that lines and fields span reads, and what a mode wrote.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "desk/stream_io.h"

namespace kv::test {

class PiecedSource : public desk::Source {
 public:
  PiecedSource(std::string_view bytes, std::size_t piece) : bytes_(bytes), piece_(piece) {}
  std::optional<std::size_t> Read(char* into, std::size_t size) override {
    const std::size_t count = std::min({size, piece_, bytes_.size()});
    bytes_.copy(into, count);
    bytes_.remove_prefix(count);
    return count;
  }

 private:
  std::string_view bytes_;
  std::size_t piece_;
};

class StringSink : public desk::Sink {
 public:
  bool Write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

struct ModeRun {
  int status;
  std::string out, errors;
  bool operator==(const ModeRun&) const = default;
};

// Runs a mode (Source&, Output&, Sink& errors -> exit status) over the input, read a piece at
// a time.
template <class Mode>
ModeRun RunMode(std::string_view input, std::size_t piece, Mode&& mode) {
  PiecedSource source(input, piece);
  StringSink out, errors;
  desk::Output output(out);
  const int status = mode(source, output, errors);
  output.Flush();
  return {status, out.text, errors.text};
}

}  // namespace kv::test
