#include "support_id.h"

namespace kv::support_id {
namespace {

constexpr char kDigits[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr int kBits = 5;
constexpr unsigned kDigitMask = (1u << kBits) - 1;

int DigitValue(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c == 'O') return 0;
  if (c == 'I' || c == 'L') return 1;
  for (int value = 0; value < 32; ++value) {
    if (kDigits[value] == c) return value;
  }
  return -1;
}

}  // namespace

Text Encode(const Uuid& uuid) {
  Text text;
  std::size_t size = 0;
  unsigned buffer = 0;
  int bits = 0;
  for (const std::uint8_t byte : uuid) {
    buffer = (buffer << 8) | byte;
    bits += 8;
    while (bits >= kBits) {
      text[size++] = kDigits[(buffer >> (bits - kBits)) & kDigitMask];
      bits -= kBits;
    }
  }
  text[size] = kDigits[(buffer << (kBits - bits)) & kDigitMask];  // the last 3 bits, padded
  return text;
}

bool IdentifiesAMachine(const Uuid& uuid) {
  bool allZero = true;
  bool allOnes = true;
  for (const std::uint8_t byte : uuid) {
    allZero = allZero && byte == 0x00;
    allOnes = allOnes && byte == 0xFF;
  }
  return !allZero && !allOnes;
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
