// TOVRAMIX.DLL: the machine's identity from the firmware's SMBIOS tables, and the build of
// the operating system on the system disk. It runs inside the processes of the programs that
// load it, so it brings no C++ runtime: no exceptions, nothing from the C++ library that
// needs one, and the one allocation straight from the process heap.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

#include "identity_map.h"

namespace {

constexpr DWORD kRawSmbiosProvider = 0x52534D42;  // 'RSMB'

enum Result : std::int16_t { kOk = 0, kNoTable = 1, kBadTable = 2, kNoSystem = 3, kNoBuild = 4 };

// Cut to the buffer's length; a shorter value is followed by its NUL. With no value the
// caller's spaces stay as they are.
void Put(char* buffer, std::size_t length, std::string_view value) {
  if (!buffer || value.empty()) return;
  const std::size_t count = value.size() < length ? value.size() : length;
  std::memcpy(buffer, value.data(), count);
  if (count < length) buffer[count] = '\0';
}

// The firmware's table, in a block of the process heap that goes with this object.
class FirmwareTable {
 public:
  FirmwareTable() {
    const UINT size = GetSystemFirmwareTable(kRawSmbiosProvider, 0, nullptr, 0);
    if (size == 0) return;
    bytes_ = static_cast<std::uint8_t*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (!bytes_) return;
    const UINT written = GetSystemFirmwareTable(kRawSmbiosProvider, 0, bytes_, size);
    size_ = written <= size ? written : 0;
  }
  ~FirmwareTable() {
    if (bytes_) HeapFree(GetProcessHeap(), 0, bytes_);
  }
  FirmwareTable(const FirmwareTable&) = delete;
  FirmwareTable& operator=(const FirmwareTable&) = delete;

  std::span<const std::uint8_t> Bytes() const { return {bytes_, size_}; }

 private:
  std::uint8_t* bytes_ = nullptr;
  std::size_t size_ = 0;
};

// The key that records the system's build, in the registry's 64-bit view: a 32-bit process
// on 64-bit Windows is otherwise shown the 32-bit view, which is not the system's own.
// 32-bit Windows has only the one view and ignores the request; a system that refuses it is
// read without it.
class CurrentVersionKey {
 public:
  CurrentVersionKey() {
    constexpr wchar_t kKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key_) !=
            ERROR_SUCCESS &&
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~CurrentVersionKey() {
    if (key_) RegCloseKey(key_);
  }
  CurrentVersionKey(const CurrentVersionKey&) = delete;
  CurrentVersionKey& operator=(const CurrentVersionKey&) = delete;

  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// "19045.3570": the build number and, where the system records one, its update revision.
tovramix::PieceText OsBuild() {
  const CurrentVersionKey key;
  wchar_t number[12] = {};
  DWORD bytes = sizeof number;
  if (!key.get() || RegGetValueW(key.get(), nullptr, L"CurrentBuildNumber", RRF_RT_REG_SZ, nullptr,
                                 number, &bytes) != ERROR_SUCCESS) {
    return {};
  }
  DWORD revision = 0;
  bytes = sizeof revision;
  const bool revised = RegGetValueW(key.get(), nullptr, L"UBR", RRF_RT_REG_DWORD, nullptr,
                                    &revision, &bytes) == ERROR_SUCCESS;
  return tovramix::BuildIdentifier(number,
                                   revised ? std::optional<std::uint32_t>(revision) : std::nullopt);
}

}  // namespace

extern "C" std::int16_t KV_ABI_CALL DLL_GET_HARD_DISK_BUILD_ID(char* build) {
  const tovramix::PieceText value = OsBuild();
  if (value.size == 0 || !build) return kNoBuild;
  Put(build, kv::abi::kBuildLength, value.View());
  return kOk;
}

extern "C" std::int16_t KV_ABI_CALL DLL_GET_BIOS_STRING_PIECES(char* p1, char* p2, char* p3,
                                                               char* p4, char* p5, char* p6,
                                                               char* p7, char* p8, char* p9) {
  const FirmwareTable blob;
  if (blob.Bytes().empty()) return kNoTable;
  const auto table = tovramix::ReadRawSmbios(blob.Bytes());
  if (!table) return kBadTable;
  const auto pieces = tovramix::IdentityPieces(*table);
  if (!pieces) return kNoSystem;
  char* buffers[] = {p1, p2, p3, p4, p5, p6, p7, p8, p9};
  for (std::size_t i = 0; i < kv::abi::kPieceCount; ++i) {
    Put(buffers[i], kv::abi::kPieceLengths[i], (*pieces)[i].View());
  }
  return kOk;
}

static_assert(std::is_same_v<decltype(&DLL_GET_HARD_DISK_BUILD_ID), kv::abi::BuildIdFunction>);
static_assert(std::is_same_v<decltype(&DLL_GET_BIOS_STRING_PIECES), kv::abi::BiosPiecesFunction>);
