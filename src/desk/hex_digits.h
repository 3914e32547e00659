#pragma once

#include <cstdint>

// Hexadecimal digits of ASCII read sixteen at a time: with SSE2 where the processor has it
// (every x86-64 one), eight at a time in a 64-bit number elsewhere. Both are built where both
// can be, so that the tests hold each to the table.
namespace kv::desk {

// The value of a hexadecimal digit; -1 for any other character.
int HexValue(char32_t c);

// Sixteen characters as the eight bytes their digit pairs give; false where one is no digit.
bool HexBytes(const char* chars, std::uint8_t* bytes);

// The two ways HexBytes may take.
bool HexBytesPortable(const char* chars, std::uint8_t* bytes);
#if defined(__SSE2__) || defined(_M_X64)
#define KV_HEX_SSE2
bool HexBytesSse2(const char* chars, std::uint8_t* bytes);
#endif

}  // namespace kv::desk
