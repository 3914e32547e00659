// The built TOVRAMIX.DLL as a caller sees it: plain export names, the calling convention,
// and not one byte written outside the buffers.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "harness.h"
#include "identity_map.h"

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

TEST_F(Library, BiosPiecesAreTheFirmwareTablesValuesAndStayInTheirBuffers) {
  const auto pieces = Export<PiecesFn>("DLL_GET_BIOS_STRING_PIECES");
  ASSERT_NE(pieces, nullptr);
  std::vector<GuardedBuffer> buffers;
  for (const tovramix::Piece& p : tovramix::kPieces) buffers.emplace_back(p.length);
  const std::int16_t result =
      pieces(buffers[0].bytes.data(), buffers[1].bytes.data(), buffers[2].bytes.data(),
             buffers[3].bytes.data(), buffers[4].bytes.data(), buffers[5].bytes.data(),
             buffers[6].bytes.data(), buffers[7].bytes.data(), buffers[8].bytes.data());
  for (const GuardedBuffer& b : buffers) EXPECT_TRUE(b.GuardIntact());

  // What this machine's firmware says, read here independently of the library.
  std::vector<std::uint8_t> blob(GetSystemFirmwareTable(0x52534D42, 0, nullptr, 0));
  if (blob.empty()) {
    EXPECT_NE(result, 0);
    return;
  }
  GetSystemFirmwareTable(0x52534D42, 0, blob.data(), static_cast<DWORD>(blob.size()));
  const auto expected = tovramix::IdentityPieces(*tovramix::ReadRawSmbios(blob));
  ASSERT_TRUE(expected);
  ASSERT_EQ(result, 0);
  for (std::size_t i = 0; i < buffers.size(); ++i) {
    const std::string& want = (*expected)[i];
    const std::string got(buffers[i].bytes.data(), buffers[i].length);
    // A value, then its NUL where it is shorter than the buffer; spaces where there is none.
    const std::string filled =
        want.empty() ? std::string(buffers[i].length, ' ')
        : want.size() < buffers[i].length
            ? want + '\0' + std::string(buffers[i].length - want.size() - 1, ' ')
            : want;
    EXPECT_EQ(got, filled) << "piece " << i + 1;
  }
}

}  // namespace
}  // namespace kv::test
