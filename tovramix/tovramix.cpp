// TOVRAMIX.DLL: the machine's identity from the firmware's SMBIOS tables, and the build of
// the operating system on the system disk.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "identity_map.h"

namespace {

constexpr DWORD kRawSmbiosProvider = 0x52534D42;  // 'RSMB'

enum Result : std::int16_t { kOk = 0, kNoTable = 1, kBadTable = 2, kNoSystem = 3, kNoBuild = 4 };

// Cut to the buffer's length; a shorter value is followed by its NUL. With no value the
// caller's spaces stay as they are.
void Put(char* buffer, std::size_t length, const std::string& value) {
  if (!buffer || value.empty()) return;
  const std::size_t count = std::min(value.size(), length);
  std::memcpy(buffer, value.data(), count);
  if (count < length) buffer[count] = '\0';
}

std::vector<std::uint8_t> FirmwareTable() {
  const UINT size = GetSystemFirmwareTable(kRawSmbiosProvider, 0, nullptr, 0);
  if (size == 0) return {};
  std::vector<std::uint8_t> blob(size);
  const UINT written = GetSystemFirmwareTable(kRawSmbiosProvider, 0, blob.data(), size);
  if (written == 0 || written > size) return {};
  blob.resize(written);
  return blob;
}

// "19045.3570": the build number and, where the system records one, its update revision.
std::string OsBuild() {
  constexpr wchar_t kKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  wchar_t number[32] = {};
  DWORD size = sizeof number;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kKey, L"CurrentBuildNumber", RRF_RT_REG_SZ, nullptr, number,
                   &size) != ERROR_SUCCESS) {
    return {};
  }
  std::string build;
  for (const wchar_t* c = number; *c; ++c) {
    if (*c < L'0' || *c > L'9') return {};
    build += static_cast<char>(*c);
  }
  DWORD revision = 0;
  size = sizeof revision;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kKey, L"UBR", RRF_RT_REG_DWORD, nullptr, &revision, &size) ==
      ERROR_SUCCESS) {
    build.push_back('.');
    build.append(std::to_string(revision));
  }
  return build;
}

}  // namespace

extern "C" std::int16_t KV_ABI_CALL DLL_GET_HARD_DISK_BUILD_ID(char* build) {
  const std::string value = OsBuild();
  if (value.empty() || !build) return kNoBuild;
  Put(build, kv::abi::kBuildLength, value);
  return kOk;
}

extern "C" std::int16_t KV_ABI_CALL DLL_GET_BIOS_STRING_PIECES(char* p1, char* p2, char* p3,
                                                               char* p4, char* p5, char* p6,
                                                               char* p7, char* p8, char* p9) {
  const std::vector<std::uint8_t> blob = FirmwareTable();
  if (blob.empty()) return kNoTable;
  const auto table = tovramix::ReadRawSmbios(blob);
  if (!table) return kBadTable;
  const auto pieces = tovramix::IdentityPieces(*table);
  if (!pieces) return kNoSystem;
  char* buffers[] = {p1, p2, p3, p4, p5, p6, p7, p8, p9};
  for (std::size_t i = 0; i < tovramix::kPieces.size(); ++i) {
    Put(buffers[i], tovramix::kPieces[i].length, (*pieces)[i]);
  }
  return kOk;
}

static_assert(std::is_same_v<decltype(&DLL_GET_HARD_DISK_BUILD_ID), kv::abi::BuildIdFunction>);
static_assert(std::is_same_v<decltype(&DLL_GET_BIOS_STRING_PIECES), kv::abi::BiosPiecesFunction>);
