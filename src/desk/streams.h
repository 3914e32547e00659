#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The streams that quorin-id reads and writes, so that its modes run on descriptors and in
// tests alike, in constant memory.
namespace kv::desk {

// Where the input comes from: what is there, up to size bytes, and 0 at its end; nothing when
// it cannot be read.
class Source {
 public:
  virtual ~Source() = default;
  virtual std::optional<std::size_t> Read(char* into, std::size_t size) = 0;
};

// Where output goes; false once a write failed.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual bool Write(std::string_view bytes) = 0;
};

// Output gathered into large writes, and written at once when Flush is called: before the
// input is waited for, so that nothing is held back. Once a write failed, nothing more is
// written.
class Output {
 public:
  explicit Output(Sink& sink) : sink_(sink) {}
  ~Output() = default;
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  void Write(std::string_view bytes) {
    if (kSize - size_ < bytes.size()) {
      Flush();
      if (bytes.size() > kSize) {
        failed_ = failed_ || !sink_.Write(bytes);
        return;
      }
    }
    std::memcpy(buffer_.get() + size_, bytes.data(), bytes.size());
    size_ += bytes.size();
  }
  // Room for size bytes (far fewer than the buffer holds), to write in place and keep with
  // Commit.
  char* Room(std::size_t size) {
    if (kSize - size_ < size) Flush();
    return buffer_.get() + size_;
  }
  void Commit(std::size_t size) { size_ += size; }
  // False where a write has failed, now or before.
  bool Flush() {
    if (!failed_ && size_ > 0) failed_ = !sink_.Write(std::string_view(buffer_.get(), size_));
    size_ = 0;
    return !failed_;
  }

 private:
  static constexpr std::size_t kSize = 1 << 18;
  Sink& sink_;
  std::unique_ptr<char[]> buffer_ = std::make_unique<char[]>(kSize);
  std::size_t size_ = 0;
  bool failed_ = false;
};

// The characters that UTF-8 bytes hold: their lead bytes.
std::size_t Utf8Characters(std::string_view bytes);

// The lines of an input, one at a time: each without its line end ("\n" or "\r\n"), which is
// given apart, and at most kKept bytes of it; a longer line is cut there, with its whole length
// in characters (UTF-8 lead bytes) counted. Flushes the output before each read.
class LineReader {
 public:
  static constexpr std::size_t kKept = 512;
  static constexpr std::string_view kCrLf = "\r\n", kLf = "\n";

  struct Line {
    std::string_view text;
    std::string_view end;                // "\r\n", "\n", or nothing for a last line without one
    std::optional<std::size_t> cutFrom;  // the whole line's characters, where it was cut
  };

  LineReader(Source& source, Output& output) : source_(source), output_(output) {}

  // The next line; nothing at the end of the input. Sets readFailed where it stopped because
  // the input could not be read.
  std::optional<Line> Next() {
    // Most lines lie whole in the buffer, and are handed out where they are.
    const char* begin = buffer_.get() + start_;
    const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', end_ - start_));
    if (!newline || static_cast<std::size_t>(newline - begin) > kKept) return NextGathered();
    const std::size_t size = static_cast<std::size_t>(newline - begin);
    start_ += size + 1;
    const bool crlf = size > 0 && begin[size - 1] == '\r';
    return Line{std::string_view(begin, size - crlf), crlf ? kCrLf : kLf, std::nullopt};
  }
  bool readFailed() const { return readFailed_; }

 private:
  static constexpr std::size_t kSize = 1 << 18;

  std::optional<Line> NextGathered();
  bool Fill();
  void Gather(std::string_view piece);
  Line Gathered(std::string_view end);

  Source& source_;
  Output& output_;
  std::unique_ptr<char[]> buffer_ = std::make_unique<char[]>(kSize);
  std::size_t start_ = 0, end_ = 0;
  std::string line_;                        // a line that spans reads, or its first kKept bytes
  std::size_t bytes_ = 0, characters_ = 0;  // of the line gathered, whole
  bool endsInCr_ = false;
  bool atEnd_ = false, readFailed_ = false;
};

}  // namespace kv::desk
