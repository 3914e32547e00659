#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "desk/stream_io.h"

namespace kv::desk {

// The lines of an input, one at a time: each without its line end (LF, CRLF or a CR alone),
// which is given apart, and at most kKept bytes of it; a longer line is cut there, with its
// whole length in characters (UTF-8 lead bytes) counted.
class LineReader {
 public:
  static constexpr std::size_t kKept = 512;
  static constexpr std::string_view kCrLf = "\r\n", kLf = "\n", kCr = "\r";

  struct Line {
    std::string_view text;
    std::string_view end;                // kCrLf, kLf, kCr, or nothing for a last line without one
    std::optional<std::size_t> cutFrom;  // the whole line's characters, where it was cut
  };

  explicit LineReader(Input& input) : input_(input) {}

  // The next line, valid until the next call; nothing at the end of the input.
  std::optional<Line> Next();

 private:
  std::optional<Line> NextGathered();
  void Gather(std::string_view piece);
  Line Gathered(std::string_view end);

  Input& input_;
  std::string line_;                        // a line that spans reads, or its first kKept bytes
  std::size_t bytes_ = 0, characters_ = 0;  // of the line gathered, whole
};

}  // namespace kv::desk
