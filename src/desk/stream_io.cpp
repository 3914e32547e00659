#include "desk/stream_io.h"

#include <algorithm>

namespace kv::desk {

void Output::SetEncoding(Encoding encoding) {
  mark_ = MarkOf(encoding);
  if (encoding == Encoding::kUtf16Le || encoding == Encoding::kUtf16Be) {
    encoder_ = std::make_unique<Utf16Encoder>(encoding == Encoding::kUtf16Be);
  }
}

void Output::WriteMark() {
  Put(mark_);
  mark_ = {};
}

void Output::Encode(std::string_view bytes) {
  encoded_.clear();
  encoder_->Encode(bytes, encoded_);
  Put(encoded_);
}

Input::Input(Source& source, Output& output)
    : source_(&source), output_(&output), buffer_(std::make_unique<char[]>(kSize)) {
  data_ = buffer_.get();
}

Input::Input(std::string_view bytes)
    : data_(bytes.data()), end_(bytes.size()), opened_(true), atEnd_(true) {}

Input::~Input() = default;

// Up to size bytes from the source; 0 at its end or where it cannot be read.
std::size_t Input::ReadRaw(char* into, std::size_t size) {
  const std::optional<std::size_t> got = source_->Read(into, size);
  if (!got || *got == 0) {
    readFailed_ = !got;
    atEnd_ = true;
    return 0;
  }
  return *got;
}

// The first bytes, until they tell whether they start with a byte-order mark.
void Input::Open() {
  opened_ = true;
  constexpr std::string_view kMarks[] = {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
  std::size_t got = 0;
  const auto undecided = [&] {
    return std::any_of(std::begin(kMarks), std::end(kMarks), [&](std::string_view mark) {
      return got < mark.size() && mark.starts_with(std::string_view(data_, got));
    });
  };
  // No more than UTF-16 can be decoded from into the buffer.
  while (!atEnd_ && (got == 0 || undecided())) got += ReadRaw(buffer_.get() + got, kRawSize - got);
  const std::string_view opening(data_, got);
  Encoding encoding = Encoding::kUtf8;
  if (opening.starts_with(kMarks[0])) encoding = Encoding::kUtf8Marked;
  if (opening.starts_with(kMarks[1])) encoding = Encoding::kUtf16Le;
  if (opening.starts_with(kMarks[2])) encoding = Encoding::kUtf16Be;
  output_->SetEncoding(encoding);
  const std::size_t mark = MarkOf(encoding).size();
  if (encoding == Encoding::kUtf16Le || encoding == Encoding::kUtf16Be) {
    decoder_ = std::make_unique<Utf16Decoder>(encoding == Encoding::kUtf16Be);
    raw_ = std::make_unique<char[]>(kRawSize);
    const std::string rest(opening.substr(mark));
    end_ = decoder_->Decode(rest, buffer_.get());
  } else {
    start_ = mark;
    end_ = got;
  }
}

void Input::Fill() {
  if (!source_) return;
  output_->Flush();
  if (!opened_) Open();
  while (start_ == end_ && !atEnd_) {
    start_ = end_ = 0;
    if (!decoder_) {
      end_ = ReadRaw(buffer_.get(), kSize);
    } else if (const std::size_t got = ReadRaw(raw_.get(), kRawSize)) {
      end_ = decoder_->Decode(std::string_view(raw_.get(), got), buffer_.get());
    }
  }
  if (start_ == end_ && decoder_ && !finished_) {
    // The end: a surrogate the decoder kept waiting goes out as it came.
    finished_ = true;
    std::string tail;
    halfUnit_ = !decoder_->Finish(tail);
    std::copy(tail.begin(), tail.end(), buffer_.get());
    start_ = 0;
    end_ = tail.size();
  }
}

}  // namespace kv::desk
