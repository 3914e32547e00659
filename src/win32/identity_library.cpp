#include "win32/identity_library.h"

#include <type_traits>
#include <vector>

#include "core/app_error.h"

namespace kv::win32 {
namespace {

#if !defined(_WIN64)
// The libraries this program is built to call pop their own arguments: __stdcall. Said here
// apart from the shared interface, so that the convention cannot be dropped there, on both
// sides at once, without the 32-bit build noticing.
static_assert(std::is_same_v<abi::BuildIdFunction, std::int16_t(__stdcall*)(char*)>);
static_assert(std::is_same_v<abi::BiosPiecesFunction,
                             std::int16_t(__stdcall*)(char*, char*, char*, char*, char*, char*,
                                                      char*, char*, char*)>);
#endif

// The library's view of a buffer: the caller's bytes with room for a NUL behind them.
std::vector<char> Lend(const std::string& buffer) {
  std::vector<char> lent(buffer.begin(), buffer.end());
  lent.push_back('\0');
  return lent;
}

// Takes back exactly the fixed length, whatever the library wrote into it.
void TakeBack(const std::vector<char>& lent, std::string& buffer) {
  buffer.assign(lent.data(), lent.size() - 1);
}

}  // namespace

void (*DllIdentityLibrary::Export(const char* name))() {
  if (!module_) {
    if (!searchIsSafe_) throw AppError(kLibraryNotFound);
    module_.reset(LoadLibraryW(fileName_.c_str()));
    if (!module_) throw AppError(kLibraryNotFound);
  }
  const FARPROC proc = GetProcAddress(module_.get(), name);
  if (!proc) throw AppError(kEntryPointNotFound);
  return reinterpret_cast<void (*)()>(proc);
}

std::int16_t DllIdentityLibrary::GetHardDiskBuildId(std::string& build) {
  const auto fn = reinterpret_cast<abi::BuildIdFunction>(Export(abi::kBuildIdExport));
  std::vector<char> lent = Lend(build);
  const std::int16_t result = fn(lent.data());
  TakeBack(lent, build);
  return result;
}

std::int16_t DllIdentityLibrary::GetBiosStringPieces(PieceBuffers& pieces) {
  const auto fn = reinterpret_cast<abi::BiosPiecesFunction>(Export(abi::kBiosPiecesExport));
  std::array<std::vector<char>, abi::kPieceCount> lent;
  for (std::size_t i = 0; i < pieces.size(); ++i) lent[i] = Lend(pieces[i]);
  const std::int16_t result =
      fn(lent[0].data(), lent[1].data(), lent[2].data(), lent[3].data(), lent[4].data(),
         lent[5].data(), lent[6].data(), lent[7].data(), lent[8].data());
  for (std::size_t i = 0; i < pieces.size(); ++i) TakeBack(lent[i], pieces[i]);
  return result;
}

}  // namespace kv::win32
