#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "desk/text_encodings.h"

// The two ends of quorin-id's pipeline: an input that owns the buffer its readers read from,
// and an output gathered into large writes. Both talk to the outside only through Source and
// Sink, so that the same code runs on descriptors, in tests and in a browser.
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
// input is waited for, so that nothing is held back. In the encoding of the input, with its
// byte-order mark before the first bytes. Once a write failed, nothing more is written.
class Output {
 public:
  explicit Output(Sink& sink) : sink_(sink) {}
  ~Output() = default;
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // What is written from now on is UTF-8 that goes out in this encoding.
  void SetEncoding(Encoding encoding);

  void Write(std::string_view bytes) {
    if (!mark_.empty()) WriteMark();
    if (encoder_) return Encode(bytes);
    Put(bytes);
  }
  // Room for size bytes (at most kMostRoom), to write in place and keep with Commit.
  static constexpr std::size_t kMostRoom = 64;
  char* Room(std::size_t size) {
    if (!mark_.empty()) WriteMark();
    if (encoder_) return staged_;
    if (kSize - size_ < size) Flush();
    return buffer_.get() + size_;
  }
  void Commit(std::size_t size) {
    if (encoder_) return Encode(std::string_view(staged_, size));
    size_ += size;
  }
  // False where a write has failed, now or before.
  bool Flush() {
    if (!failed_ && size_ > 0) failed_ = !sink_.Write(std::string_view(buffer_.get(), size_));
    size_ = 0;
    return !failed_;
  }

 private:
  static constexpr std::size_t kSize = 1 << 18;

  void Put(std::string_view bytes) {
    if (kSize - size_ < bytes.size()) {
      Flush();
      if (bytes.size() > kSize) {
        failed_ = failed_ || !sink_.Write(bytes);
        return;
      }
    }
    // An empty view may have no bytes to point to at all.
    if (!bytes.empty()) std::memcpy(buffer_.get() + size_, bytes.data(), bytes.size());
    size_ += bytes.size();
  }
  void WriteMark();
  void Encode(std::string_view bytes);

  Sink& sink_;
  std::unique_ptr<char[]> buffer_ = std::make_unique<char[]>(kSize);
  std::size_t size_ = 0;
  bool failed_ = false;
  std::string_view mark_;  // still to go out
  std::unique_ptr<Utf16Encoder> encoder_;
  std::string encoded_;
  char staged_[kMostRoom];
};

// The input, read a buffer at a time: its byte-order mark read once, UTF-16 turned into UTF-8
// and the output set to write it back so. The readers take what they need from Window; the
// output is flushed before each read, so that an answer never waits for more input.
class Input {
 public:
  Input(Source& source, Output& output);
  // Just these bytes, as they are: no mark is sought in them.
  explicit Input(std::string_view bytes);
  ~Input();
  Input(const Input&) = delete;
  Input& operator=(const Input&) = delete;

  // The bytes read and not yet taken, read anew once all are taken: empty only at the end.
  std::string_view Window() {
    if (start_ == end_) {
      Fill();
      ++fills_;
    }
    return std::string_view(data_ + start_, end_ - start_);
  }
  void Take(std::size_t count) { start_ += count; }
  // How many times the window was read anew: what was found in it before holds while this does.
  std::size_t fills() const { return fills_; }

  // Why the input ended early: it could not be read, or UTF-16 stopped half-way through a unit.
  bool readFailed() const { return readFailed_; }
  bool halfUnit() const { return halfUnit_; }

 private:
  static constexpr std::size_t kSize = 1 << 18;
  static constexpr std::size_t kRawSize = (kSize - 6) / 3 * 2;

  void Fill();
  void Open();
  std::size_t ReadRaw(char* into, std::size_t size);

  Source* source_ = nullptr;
  Output* output_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  const char* data_ = nullptr;
  std::size_t start_ = 0, end_ = 0, fills_ = 0;
  bool opened_ = false, atEnd_ = false, finished_ = false, readFailed_ = false, halfUnit_ = false;
  std::unique_ptr<Utf16Decoder> decoder_;
  std::unique_ptr<char[]> raw_;  // UTF-16 as read, before it is decoded into buffer_
};

}  // namespace kv::desk
