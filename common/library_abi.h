#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The binary interface of TOVRAMIX.DLL, written once for the program that calls it, our
// library and the test stand-in: were they to drift apart, the library would write past the
// buffers the program lends it.
namespace kv::abi {

inline constexpr char kBuildIdExport[] = "DLL_GET_HARD_DISK_BUILD_ID";
inline constexpr char kBiosPiecesExport[] = "DLL_GET_BIOS_STRING_PIECES";

// The nine pieces of the BIOS call, numbered from 1 in its argument order.
enum class Piece : std::size_t {
  kSerialNumber = 1,
  kBoardSerialNumber,
  kModel,
  kSupportId,
  kProductNumber,
  kBiosVersion,
  kBiosDate,
  kHardwareBom,
  kSoftwareBom,
};

// Characters of each buffer, filled with spaces by the caller, which lends one more for a NUL.
inline constexpr std::size_t kBuildLength = 10;
inline constexpr std::size_t kPieceCount = 9;
inline constexpr std::array<std::size_t, kPieceCount> kPieceLengths = {12, 12, 10, 26, 18,
                                                                       10, 12, 6,  4};

// A piece's place among the call's buffers (from 0), and its buffer's length.
constexpr std::size_t IndexOf(Piece piece) {
  return static_cast<std::size_t>(piece) - 1;
}
constexpr std::size_t LengthOf(Piece piece) {
  return kPieceLengths[IndexOf(piece)];
}

// __stdcall on 32-bit Windows; the platform's one convention elsewhere.
#if defined(_WIN32) && !defined(_WIN64)
#define KV_ABI_CALL __stdcall
#else
#define KV_ABI_CALL
#endif

// Both return 0 for success; the buffers are filled in place.
using BuildIdFunction = std::int16_t(KV_ABI_CALL*)(char* build);
using BiosPiecesFunction = std::int16_t(KV_ABI_CALL*)(char* piece1, char* piece2, char* piece3,
                                                      char* piece4, char* piece5, char* piece6,
                                                      char* piece7, char* piece8, char* piece9);

}  // namespace kv::abi
