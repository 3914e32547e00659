#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

// Hexadecimal digits of ASCII read sixteen at a time: with SSE2 where the processor has it
// (every x86-64 one), eight at a time in a 64-bit number elsewhere. Both are built where both
// can be, so that the tests hold each to the table. Here in full, so that the reading of a
// UUID, on the way of every line, has them inline.
#if defined(__SSE2__) || defined(_M_X64)
#define KV_HEX_SSE2
#include <emmintrin.h>
#endif

namespace kv::desk {

// The value of a hexadecimal digit; -1 for any other character.
int HexValue(char32_t c);

namespace hex {

// Eight characters as one number, the first the least significant: one load where the
// machine stores numbers so.
inline std::uint64_t LittleEndian(const char* chars) {
  std::uint64_t value;
  std::memcpy(&value, chars, sizeof value);
  if constexpr (std::endian::native == std::endian::big) {
    std::uint64_t swapped = 0;
    for (int i = 0; i < 8; ++i) swapped = swapped << 8 | ((value >> (8 * i)) & 0xFF);
    value = swapped;
  }
  return value;
}

// Eight hexadecimal digits of ASCII as the four bytes they give, all eight at once in one
// number; false where one is no digit.
inline bool EightHexDigits(const char* chars, std::uint8_t* bytes) {
  constexpr std::uint64_t kOnes = 0x0101010101010101, kTops = 0x8080808080808080;
  const std::uint64_t v = LittleEndian(chars);
  // The top bit of each byte that is at least bound (of a byte below 0x80, without carry).
  const auto atLeast = [](std::uint64_t x, unsigned bound) {
    return (x + kOnes * (0x80 - bound)) & kTops;
  };
  const std::uint64_t lower = v | kOnes * 0x20;
  const std::uint64_t digits = atLeast(v, '0') & ~atLeast(v, '9' + 1);
  const std::uint64_t letters = atLeast(lower, 'a') & ~atLeast(lower, 'f' + 1);
  if ((v & kTops) != 0 || (digits | letters) != kTops) return false;
  const std::uint64_t nibbles = (v & kOnes * 0x0F) + (letters >> 7) * 9;
  // Each pair of characters, the first the high nibble, in the low byte of its 16 bits; then
  // the four bytes side by side, the first lowest.
  std::uint64_t pairs = (nibbles << 4 | nibbles >> 8) & 0x00FF00FF00FF00FF;
  pairs = (pairs | pairs >> 8) & 0x0000FFFF0000FFFF;
  const auto four = static_cast<std::uint32_t>(pairs | pairs >> 16);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(four >> (8 * i));
  return true;
}

}  // namespace hex

// Sixteen characters as the eight bytes their digit pairs give; false where one is no digit.
inline bool HexBytesPortable(const char* chars, std::uint8_t* bytes) {
  return hex::EightHexDigits(chars, bytes) && hex::EightHexDigits(chars + 8, bytes + 4);
}

#ifdef KV_HEX_SSE2
// A byte of 0x80 or more is negative to the signed comparisons, and so in no range.
inline bool HexBytesSse2(const char* chars, std::uint8_t* bytes) {
  const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars));
  const __m128i lower = _mm_or_si128(c, _mm_set1_epi8(0x20));
  const __m128i digits = _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8('0' - 1)),
                                       _mm_cmplt_epi8(c, _mm_set1_epi8('9' + 1)));
  const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(lower, _mm_set1_epi8('a' - 1)),
                                        _mm_cmplt_epi8(lower, _mm_set1_epi8('f' + 1)));
  if (_mm_movemask_epi8(_mm_or_si128(digits, letters)) != 0xFFFF) return false;
  const __m128i nibbles =
      _mm_add_epi8(_mm_and_si128(c, _mm_set1_epi8(0x0F)), _mm_and_si128(letters, _mm_set1_epi8(9)));
  // Each pair of characters, the first the high nibble, in the low byte of its 16 bits.
  const __m128i pairs = _mm_and_si128(
      _mm_or_si128(_mm_slli_epi16(nibbles, 4), _mm_srli_epi16(nibbles, 8)), _mm_set1_epi16(0xFF));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes), _mm_packus_epi16(pairs, pairs));
  return true;
}
#endif

inline bool HexBytes(const char* chars, std::uint8_t* bytes) {
#ifdef KV_HEX_SSE2
  return HexBytesSse2(chars, bytes);
#else
  return HexBytesPortable(chars, bytes);
#endif
}

}  // namespace kv::desk
