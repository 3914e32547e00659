#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The text encodings quorin-id meets: UTF-8 throughout, and UTF-16 inventories as many Windows
// tools export them, read as UTF-8 and written back unit for unit.
namespace kv::desk {

// How an input is written, as its byte-order mark says.
enum class Encoding { kUtf8, kUtf8Marked, kUtf16Le, kUtf16Be };

// The byte-order mark that an input in that encoding starts with; empty for plain UTF-8.
std::string_view MarkOf(Encoding encoding);

// The characters that UTF-8 bytes hold: their lead bytes.
std::size_t Utf8Characters(std::string_view bytes);

// Text as the system hands it over; nothing when it is not well-formed.
std::optional<std::u32string> FromUtf8(std::string_view bytes);
std::optional<std::u32string> FromUtf16(std::u16string_view units);
std::string ToUtf8(std::u32string_view text);

// UTF-16 bytes, in pieces cut anywhere, as UTF-8. A surrogate without its partner becomes the
// three bytes its code would take, so that the encoder below gives back every unit as it came.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}
  // The most bytes Decode writes for a piece of size bytes.
  static constexpr std::size_t Room(std::size_t size) { return size / 2 * 3 + 6; }
  // Writes the UTF-8 of the piece's whole units into out; the bytes written.
  std::size_t Decode(std::string_view piece, char* out);
  // At the end of the input: writes a surrogate left waiting; false where half a unit is left.
  bool Finish(std::string& out);

 private:
  std::size_t Unit(char16_t unit, char* out);

  bool bigEndian_;
  int oddByte_ = -1;      // the first byte of a unit whose second has not come
  char16_t waiting_ = 0;  // a high surrogate, until the next unit tells whether it is paired
};

// UTF-8 as Utf16Decoder writes it, in pieces cut anywhere, back to UTF-16 bytes.
class Utf16Encoder {
 public:
  explicit Utf16Encoder(bool bigEndian) : bigEndian_(bigEndian) {}
  void Encode(std::string_view piece, std::string& out);

 private:
  void Unit(char32_t unit, std::string& out) const;

  bool bigEndian_;
  char32_t code_ = 0;
  int missing_ = 0;  // continuation bytes still to come
};

}  // namespace kv::desk
