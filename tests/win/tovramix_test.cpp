// The built TOVRAMIX.DLL as a caller sees it: plain export names, the calling convention,
// and not one byte written outside the buffers.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"
#include "imports.h"

namespace kv::test {
namespace {

using BuildFn = std::int16_t(WINAPI*)(char*);
using PiecesFn = std::int16_t(WINAPI*)(char*, char*, char*, char*, char*, char*, char*, char*,
                                       char*);

constexpr std::size_t kGuard = 16;
constexpr char kGuardByte = '\x5A';

// A caller's buffer: the fixed length of spaces, its NUL slot, then guard bytes.
struct GuardedBuffer {
  explicit GuardedBuffer(std::size_t length)
      : length(length), bytes(length + 1 + kGuard, kGuardByte) {
    std::fill_n(bytes.begin(), length, ' ');
    bytes[length] = '\0';
  }
  bool GuardIntact() const {
    return std::all_of(bytes.begin() + length + 1, bytes.end(),
                       [](char c) { return c == kGuardByte; });
  }
  std::string Value() const {
    return std::string(bytes.data(), length)
        .substr(0, std::string(bytes.data(), length).find('\0'));
  }
  std::size_t length;
  std::vector<char> bytes;
};

class Library : public testing::Test {
 protected:
  void SetUp() override {
    module_.reset(LoadLibraryW(BuiltFile(L"TOVRAMIX_DIR", L"TOVRAMIX.DLL").c_str()));
    ASSERT_TRUE(module_);
  }
  template <class Fn>
  Fn Export(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module_.get(), name)));
  }
  win32::UniqueModule module_;
};

class KnownMachineLibrary : public Library {};

TEST_F(Library, BuildIdentifierIsTheSystemBuildAndStaysInItsBuffer) {
  const auto build = Export<BuildFn>("DLL_GET_HARD_DISK_BUILD_ID");
  ASSERT_NE(build, nullptr);
  GuardedBuffer buffer(10);
  ASSERT_EQ(build(buffer.bytes.data()), 0);
  EXPECT_TRUE(buffer.GuardIntact());
  const std::string value = buffer.Value();
  ASSERT_FALSE(value.empty());
  EXPECT_TRUE(std::all_of(value.begin(), value.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || c == '.';
  })) << value;
  // The system's own word on its build, which no compatibility setting changes.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(rtlGetVersion, nullptr);
  OSVERSIONINFOW os = {};
  os.dwOSVersionInfoSize = sizeof os;
  ASSERT_EQ(rtlGetVersion(&os), 0);
  EXPECT_EQ(value.substr(0, value.find('.')), std::to_string(os.dwBuildNumber));
}

// The registry views the library asks for, seen through its import of RegOpenKeyExW; where
// refuse64 is set, a request for the 64-bit view is refused, as a system without one may.
std::vector<REGSAM> requested;
bool refuse64 = false;

LSTATUS WINAPI RecordOpen(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result) {
  requested.push_back(access);
  if (refuse64 && (access & KEY_WOW64_64KEY)) return ERROR_ACCESS_DENIED;
  return RegOpenKeyExW(key, subKey, options, access, result);
}

// A 32-bit process on 64-bit Windows is shown the registry's 32-bit view unless it asks for
// the 64-bit one, where the system records its build: the library asks for it first, and reads
// its own view where a system refuses that.
TEST_F(Library, BuildIsReadFromTheRegistrysSystemView) {
  const auto build = Export<BuildFn>("DLL_GET_HARD_DISK_BUILD_ID");
  const ImportPatch patch(module_.get(), "advapi32.dll", "RegOpenKeyExW",
                          reinterpret_cast<void*>(&RecordOpen));
  ASSERT_TRUE(patch.patched());
  std::string values[2];
  for (const bool refused : {false, true}) {
    requested.clear();
    refuse64 = refused;
    GuardedBuffer buffer(10);
    ASSERT_EQ(build(buffer.bytes.data()), 0);
    values[refused] = buffer.Value();
    ASSERT_EQ(requested.size(), refused ? 2u : 1u);
    EXPECT_TRUE(requested[0] & KEY_WOW64_64KEY);
    if (refused) {
      EXPECT_FALSE(requested[1] & KEY_WOW64_64KEY);
    }
  }
  EXPECT_EQ(values[1], values[0]);
}

// Run on a machine whose firmware is known (firmware/library-machine.ini): each buffer, of the
// length the interface gives it, holds the value, then its NUL where it is shorter, and
// nothing is written behind it.
TEST_F(KnownMachineLibrary, BiosPiecesFillTheirBuffersAndNothingBehindThem) {
  const auto pieces = Export<PiecesFn>("DLL_GET_BIOS_STRING_PIECES");
  ASSERT_NE(pieces, nullptr);
  const std::pair<std::size_t, std::string> expected[] = {
      {12, std::string("SER-FROM-FW\0", 12)},
      {12, std::string("BOARD-SN-1\0 ", 12)},
      {10, std::string("MODEL-77\0 ", 10)},
      // The UUID 00112233-4455-6677-8899-AABBCCDDEEFF, as the system itself reads it.
      {26, "008J4CT4ANK7F24SNAXWSQFEZW"},
      {18, std::string("SKU-9\0", 6) + std::string(12, ' ')},
      {10, std::string("FW 1.23\0  ", 10)},
      {12, std::string("02/03/2024\0 ", 12)},
      {6, std::string("REV-B\0", 6)},
      {4, "    "},  // Wine's tables hold no OEM strings
  };
  std::vector<GuardedBuffer> buffers;
  for (const auto& [length, value] : expected) buffers.emplace_back(length);
  ASSERT_EQ(pieces(buffers[0].bytes.data(), buffers[1].bytes.data(), buffers[2].bytes.data(),
                   buffers[3].bytes.data(), buffers[4].bytes.data(), buffers[5].bytes.data(),
                   buffers[6].bytes.data(), buffers[7].bytes.data(), buffers[8].bytes.data()),
            0);
  for (std::size_t i = 0; i < buffers.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "piece " << i + 1);
    EXPECT_EQ(std::string(buffers[i].bytes.data(), buffers[i].length), expected[i].second);
    EXPECT_EQ(buffers[i].bytes[buffers[i].length], '\0');
    EXPECT_TRUE(buffers[i].GuardIntact());
  }
}

}  // namespace
}  // namespace kv::test
