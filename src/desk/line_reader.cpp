#include "desk/line_reader.h"

#include "desk/text_encodings.h"

namespace kv::desk {

void LineReader::Gather(std::string_view piece) {
  bytes_ += piece.size();
  characters_ += Utf8Characters(piece);
  if (line_.size() < kKept + 1) line_.append(piece.substr(0, kKept + 1 - line_.size()));
}

LineReader::Line LineReader::Gathered(std::string_view end) {
  const std::string_view text = line_;
  if (bytes_ > kKept) return Line{text.substr(0, kKept), end, characters_};
  return Line{text, end, std::nullopt};
}

std::optional<LineReader::Line> LineReader::NextGathered() {
  line_.clear();
  bytes_ = characters_ = 0;
  for (bool started = false;; started = true) {
    const std::string_view window = input_.Window();
    if (window.empty()) {
      if (!started) return std::nullopt;
      return Gathered({});  // a last line without a line end
    }
    const std::size_t size = window.find_first_of("\r\n");
    Gather(window.substr(0, size));
    if (size == std::string_view::npos) {
      input_.Take(window.size());
      continue;
    }
    input_.Take(size + 1);
    if (window[size] == '\n') return Gathered(kLf);
    // A CR: whether an LF follows, the next byte tells, which may come with the next read.
    const std::string_view next = input_.Window();
    if (!next.empty() && next[0] == '\n') {
      input_.Take(1);
      return Gathered(kCrLf);
    }
    return Gathered(kCr);
  }
}

}  // namespace kv::desk
