// The portable pieces that read outside text: the settings cuts, the width conversion,
// FormatServiceID and ToJulian. Each either raises one of the error codes it is known to
// raise or gives a result that depends on exactly the part of its input it may read: what
// lies outside that part is changed, and the result must not change with it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "core/app_error.h"
#include "fakes/fake_ports.h"
#include "identity/date_code.h"
#include "identity/service_id.h"
#include "require.h"
#include "settings/settings.h"
#include "window/window_width.h"

namespace {

std::wstring Text(FuzzedDataProvider& data) {
  std::wstring text;
  for (const char c : data.ConsumeRandomLengthString(64)) {
    text += static_cast<wchar_t>(static_cast<unsigned char>(c));
  }
  return text;
}

// The result, or the error code it raised.
template <class Call>
std::optional<std::wstring> Outcome(Call&& call, int& code) {
  try {
    return call();
  } catch (const kv::AppError& e) {
    code = e.code();
    return std::nullopt;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  kv::test::FakePlatform platform;
  platform.doubleByte = data.ConsumeBool();
  const wchar_t other = static_cast<wchar_t>(data.ConsumeIntegralInRange(0x20, 0x7E));
  switch (data.ConsumeIntegralInRange(0, 3)) {
    case 0: {
      kv::SettingBuffer read;
      read.count = data.ConsumeIntegral<std::size_t>();
      read.bytes = data.ConsumeRemainingBytesAsString();
      if (read.bytes.empty()) break;
      // The last byte is the NUL slot, never part of the value, whatever the count says.
      kv::SettingBuffer changed = read;
      changed.bytes.back() = static_cast<char>(~changed.bytes.back());
      REQUIRE(kv::CutByCount(platform, read) == kv::CutByCount(platform, changed));
      // Bytes behind the first twenty (ten characters of up to two bytes) never count.
      changed = read;
      for (std::size_t i = 20; i < changed.bytes.size(); ++i) changed.bytes[i] = 'x';
      REQUIRE(kv::CutFirst10(platform, read) == kv::CutFirst10(platform, changed));
      break;
    }
    case 1: {
      // A width reads up to its first NUL, with blanks around it.
      const std::wstring text = Text(data);
      const std::wstring value = text.substr(0, text.find(L'\0'));
      int code = 0, paddedCode = 0;
      const auto plain = Outcome([&] { return std::to_wstring(kv::ParseWidth(value)); }, code);
      const auto padded = Outcome(
          [&] {
            return std::to_wstring(kv::ParseWidth(L" " + value + L" " + std::wstring(1, L'\0') +
                                                  std::wstring(1, other)));
          },
          paddedCode);
      REQUIRE(plain == padded && code == paddedCode);
      REQUIRE(plain || code == kv::kTypeMismatch || code == kv::kOverflow);
      break;
    }
    case 2: {
      // Characters 3, 6, 7 and 8 and everything past the tenth never show.
      std::wstring raw = Text(data);
      const std::wstring shown = kv::FormatServiceID(raw);
      for (const std::size_t hidden : {2, 5, 6, 7, 10, 20}) {
        if (hidden < raw.size()) raw[hidden] = other;
      }
      REQUIRE(kv::FormatServiceID(raw) == shown);
      REQUIRE(raw.size() < 4 || shown[3] == L'-');
      break;
    }
    default: {
      // The separators at characters 3 and 6 are never read.
      std::wstring date = Text(data);
      int code = 0, changedCode = 0;
      const auto code1 = Outcome([&] { return kv::ToJulian(date); }, code);
      for (const std::size_t separator : {2, 5}) {
        if (separator < date.size()) date[separator] = other;
      }
      const auto code2 = Outcome([&] { return kv::ToJulian(date); }, changedCode);
      REQUIRE(code1 == code2 && code == changedCode);
      REQUIRE(code1 || code == kv::kTypeMismatch);
      break;
    }
  }
  return 0;
}
