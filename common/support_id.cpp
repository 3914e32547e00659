#include "support_id.h"

#include <cstring>

namespace kv::support_id {
namespace {

constexpr std::string_view kDigits = kAlphabet;
constexpr int kBits = 5;
constexpr unsigned kDigitMask = (1u << kBits) - 1;

// Each character's digit value, with the aliases people type (lower case, O for 0, I and L
// for 1); -1 for a character that is no digit.
constexpr struct DigitValues {
  constexpr DigitValues() : of() {
    for (int& value : of) value = -1;
    for (int value = 0; value < 32; ++value) {
      of[static_cast<unsigned char>(kDigits[value])] = value;
      if (kDigits[value] >= 'A') of[static_cast<unsigned char>(kDigits[value] - 'A' + 'a')] = value;
    }
    for (const unsigned char zero : {'O', 'o'}) of[zero] = 0;
    for (const unsigned char one : {'I', 'i', 'L', 'l'}) of[one] = 1;
  }
  int of[256];
} kDigitValues;

// Eight bytes as one number, the first most significant.
std::uint64_t BigEndian(const std::uint8_t* bytes) {
  return std::uint64_t{bytes[0]} << 56 | std::uint64_t{bytes[1]} << 48 |
         std::uint64_t{bytes[2]} << 40 | std::uint64_t{bytes[3]} << 32 |
         std::uint64_t{bytes[4]} << 24 | std::uint64_t{bytes[5]} << 16 |
         std::uint64_t{bytes[6]} << 8 | std::uint64_t{bytes[7]};
}

// Every ten bits as the two digits they give.
constexpr struct DigitPairs {
  constexpr DigitPairs() : of() {
    for (unsigned bits = 0; bits < 1024; ++bits) {
      of[bits][0] = kDigits[bits >> kBits];
      of[bits][1] = kDigits[bits & kDigitMask];
    }
  }
  char of[1024][2];
} kDigitPairs;

}  // namespace

int DigitValue(char c) {
  return kDigitValues.of[static_cast<unsigned char>(c)];
}

char Canonical(char c) {
  const int value = DigitValue(c);
  return value < 0 ? '\0' : kDigits[static_cast<std::size_t>(value)];
}

UuidText FormatUuid(const Uuid& uuid) {
  constexpr char kHex[] = "0123456789ABCDEF";
  UuidText text;
  std::size_t at = 0;
  for (const std::uint8_t byte : uuid) {
    if (IsUuidHyphenAt(at)) text[at++] = '-';
    text[at++] = kHex[byte >> 4];
    text[at++] = kHex[byte & 15];
  }
  return text;
}

Text Encode(const Uuid& uuid) {
  const std::uint64_t high = BigEndian(uuid.data()), low = BigEndian(uuid.data() + 8);
  // The 128 bits and the two zero bits after them are thirteen times ten bits: six of the high
  // half, one of its last four and the low half's first six, five of the low half, and its last
  // eight with the padding.
  Text text;
  const auto put = [&](int pair, std::uint64_t bits) {
    std::memcpy(text.data() + 2 * pair, kDigitPairs.of[bits & 1023], 2);
  };
  for (int pair = 0; pair < 6; ++pair) put(pair, high >> (54 - 10 * pair));
  put(6, (high & 0xF) << 6 | low >> 58);
  for (int pair = 7; pair < 12; ++pair) put(pair, low >> (118 - 10 * pair));
  put(12, (low & 0xFF) << 2);
  return text;
}

bool IdentifiesAMachine(const Uuid& uuid) {
  const std::uint64_t high = BigEndian(uuid.data()), low = BigEndian(uuid.data() + 8);
  return !(high == 0 && low == 0) && !(high == ~std::uint64_t{0} && low == ~std::uint64_t{0});
}

Decoded Decode(std::string_view digits) {
  Decoded decoded;
  if (digits.size() != kLength) {
    decoded.error = DecodeError::kLength;
    return decoded;
  }
  std::size_t size = 0;
  unsigned buffer = 0;
  int bits = 0;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const int value = DigitValue(digits[i]);
    if (value < 0) {
      decoded.error = DecodeError::kCharacter;
      decoded.position = i;
      return decoded;
    }
    buffer = (buffer << kBits) | static_cast<unsigned>(value);
    bits += kBits;
    if (bits >= 8 && size < decoded.uuid.size()) {
      decoded.uuid[size++] = static_cast<std::uint8_t>(buffer >> (bits - 8));
      bits -= 8;
    }
  }
  // 130 bits read, 128 kept: the two left over must be the encoder's zeros.
  if ((buffer & ((1u << bits) - 1)) != 0) {
    decoded.error = DecodeError::kPadding;
    decoded.position = kLength - 1;
  }
  return decoded;
}

}  // namespace kv::support_id
