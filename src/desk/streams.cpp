#include "desk/streams.h"

#include <algorithm>

namespace kv::desk {

bool LineReader::Fill() {
  if (atEnd_) return false;
  output_.Flush();
  const std::optional<std::size_t> got = source_.Read(buffer_.get(), kSize);
  if (!got || *got == 0) {
    readFailed_ = !got;
    atEnd_ = true;
    return false;
  }
  start_ = 0;
  end_ = *got;
  return true;
}

std::size_t Utf8Characters(std::string_view bytes) {
  return static_cast<std::size_t>(std::count_if(bytes.begin(), bytes.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

void LineReader::Gather(std::string_view piece) {
  if (piece.empty()) return;
  bytes_ += piece.size();
  characters_ += Utf8Characters(piece);
  endsInCr_ = piece.back() == '\r';
  if (line_.size() < kKept + 1) line_.append(piece.substr(0, kKept + 1 - line_.size()));
}

// The line gathered, with the line end that the input gave it: a CR before its LF belongs to
// the line end.
LineReader::Line LineReader::Gathered(std::string_view end) {
  const bool crlf = !end.empty() && endsInCr_;
  const std::size_t bytes = bytes_ - crlf, characters = characters_ - crlf;
  const std::string_view text = line_;
  if (bytes > kKept) return Line{text.substr(0, kKept), crlf ? kCrLf : end, characters};
  return Line{text.substr(0, bytes), crlf ? kCrLf : end, std::nullopt};
}

std::optional<LineReader::Line> LineReader::NextGathered() {
  line_.clear();
  bytes_ = characters_ = 0;
  endsInCr_ = false;
  for (bool started = false;; started = true) {
    if (start_ == end_ && !Fill()) {
      if (!started) return std::nullopt;
      return Gathered("");  // a last line without a line end
    }
    const char* begin = buffer_.get() + start_;
    const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', end_ - start_));
    const std::size_t size = newline ? static_cast<std::size_t>(newline - begin) : end_ - start_;
    Gather(std::string_view(begin, size));
    start_ += size + (newline ? 1 : 0);
    if (newline) return Gathered(kLf);
  }
}

}  // namespace kv::desk
