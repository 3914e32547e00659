#include "desk/text_encodings.h"

#include <algorithm>

namespace kv::desk {

std::string_view MarkOf(Encoding encoding) {
  switch (encoding) {
    case Encoding::kUtf8:
      break;
    case Encoding::kUtf8Marked:
      return "\xEF\xBB\xBF";
    case Encoding::kUtf16Le:
      return "\xFF\xFE";
    case Encoding::kUtf16Be:
      return "\xFE\xFF";
  }
  return {};
}

std::size_t Utf8Characters(std::string_view bytes) {
  return static_cast<std::size_t>(std::count_if(bytes.begin(), bytes.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::optional<std::u32string> FromUtf8(std::string_view bytes) {
  std::u32string text;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || i + length > bytes.size()) {
      return std::nullopt;
    }
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = c << 6 | (next & 0x3F);
    }
    // No overlong forms, no surrogates, nothing past the last code point.
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return std::nullopt;
    text += c;
    i += length;
  }
  return text;
}

std::optional<std::u32string> FromUtf16(std::u16string_view units) {
  std::u32string text;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    if (unit >= 0xDC00 && unit <= 0xDFFF) return std::nullopt;
    if (unit < 0xD800 || unit > 0xDBFF) {
      text += unit;
      continue;
    }
    if (i + 1 == units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) {
      return std::nullopt;
    }
    text += 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (units[++i] - 0xDC00);
  }
  return text;
}

namespace {

// A code point's UTF-8, surrogates included; the bytes written.
std::size_t PutUtf8(char32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | c >> 6);
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | c >> 12);
    out[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | c >> 18);
  out[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
  out[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

bool IsHigh(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLow(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::string ToUtf8(std::u32string_view text) {
  std::string bytes;
  char utf8[4];
  for (const char32_t c : text) bytes.append(utf8, PutUtf8(c, utf8));
  return bytes;
}

std::size_t Utf16Decoder::Unit(char16_t unit, char* out) {
  std::size_t wrote = 0;
  if (waiting_ != 0) {
    if (IsLow(unit)) {
      const char32_t c = 0x10000 + ((static_cast<char32_t>(waiting_) - 0xD800) << 10) +
                         (static_cast<char32_t>(unit) - 0xDC00);
      waiting_ = 0;
      return PutUtf8(c, out);
    }
    wrote = PutUtf8(waiting_, out);
    waiting_ = 0;
  }
  if (IsHigh(unit)) {
    waiting_ = unit;
    return wrote;
  }
  return wrote + PutUtf8(unit, out + wrote);
}

std::size_t Utf16Decoder::Decode(std::string_view piece, char* out) {
  std::size_t wrote = 0, i = 0;
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(piece[at]); };
  const auto unit = [&](unsigned first, unsigned second) {
    return static_cast<char16_t>(bigEndian_ ? first << 8 | second : second << 8 | first);
  };
  if (oddByte_ >= 0 && !piece.empty()) {
    wrote += Unit(unit(static_cast<unsigned>(oddByte_), byte(0)), out);
    oddByte_ = -1;
    i = 1;
  }
  for (; i + 1 < piece.size(); i += 2) wrote += Unit(unit(byte(i), byte(i + 1)), out + wrote);
  if (i < piece.size()) oddByte_ = byte(i);
  return wrote;
}

bool Utf16Decoder::Finish(std::string& out) {
  char utf8[4];
  if (waiting_ != 0) out.append(utf8, PutUtf8(waiting_, utf8));
  waiting_ = 0;
  const bool whole = oddByte_ < 0;
  oddByte_ = -1;
  return whole;
}

void Utf16Encoder::Unit(char32_t unit, std::string& out) const {
  const auto put = [&](char32_t u) {
    const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
    out += bigEndian_ ? high : low;
    out += bigEndian_ ? low : high;
  };
  if (unit < 0x10000) {
    put(unit);
    return;
  }
  put(0xD800 + ((unit - 0x10000) >> 10));
  put(0xDC00 + ((unit - 0x10000) & 0x3FF));
}

void Utf16Encoder::Encode(std::string_view piece, std::string& out) {
  for (const char c : piece) {
    const auto byte = static_cast<unsigned char>(c);
    if (missing_ > 0 && (byte & 0xC0) == 0x80) {
      code_ = code_ << 6 | (byte & 0x3F);
      if (--missing_ == 0) Unit(code_, out);
      continue;
    }
    // What the decoder never writes (a sequence cut short, a stray byte) is a replacement
    // character, never a unit made up.
    if (missing_ > 0) Unit(0xFFFD, out);
    missing_ = 0;
    if (byte < 0x80) {
      Unit(byte, out);
    } else if (byte >= 0xC0 && byte < 0xF8) {
      missing_ = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
      code_ = byte & (0x3F >> missing_);
    } else {
      Unit(0xFFFD, out);
    }
  }
}

}  // namespace kv::desk
