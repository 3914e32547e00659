#pragma once

#include <cstddef>
#include <cstring>
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
  std::optional<Line> Next() {
    // Most lines lie whole in the window, and are handed out where they are.
    const std::string_view window = input_.Window();
    const char* begin = window.data();
    const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', window.size()));
    if (!newline || static_cast<std::size_t>(newline - begin) > kKept) return NextGathered();
    const std::size_t size = static_cast<std::size_t>(newline - begin);
    if (crFill_ != input_.fills() || !cr_ || cr_ < begin) {
      crFill_ = input_.fills();
      cr_ = static_cast<const char*>(std::memchr(begin, '\r', window.size()));
      if (!cr_) cr_ = begin + window.size();
    }
    if (newline < cr_) {
      input_.Take(size + 1);
      return Line{std::string_view(begin, size), kLf, std::nullopt};
    }
    const std::size_t text = static_cast<std::size_t>(cr_ - begin);
    const bool crlf = text + 1 == size;
    input_.Take(text + (crlf ? 2 : 1));
    return Line{std::string_view(begin, text), crlf ? kCrLf : kCr, std::nullopt};
  }

 private:
  std::optional<Line> NextGathered();
  void Gather(std::string_view piece);
  Line Gathered(std::string_view end);

  Input& input_;
  std::string line_;                        // a line that spans reads, or its first kKept bytes
  std::size_t bytes_ = 0, characters_ = 0;  // of the line gathered, whole
  // The first CR from where the window was searched for one (its end where it has none), and
  // the window's fill it was sought in: one search a fill where lines end in LF alone.
  const char* cr_ = nullptr;
  std::size_t crFill_ = 0;
};

}  // namespace kv::desk
