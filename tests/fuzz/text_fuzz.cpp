// The portable pieces that read outside text: the settings cuts, the width conversion,
// FormatServiceID and ToJulian. Each either gives a sound result or raises one of the error
// codes it is known to raise.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  kv::test::FakePlatform platform;
  platform.doubleByte = data.ConsumeBool();
  switch (data.ConsumeIntegralInRange(0, 3)) {
    case 0: {
      kv::SettingBuffer read;
      read.count = data.ConsumeIntegral<std::size_t>();
      read.bytes = data.ConsumeRemainingBytesAsString();
      const std::wstring value = kv::CutByCount(platform, read);
      REQUIRE(value.size() <= read.bytes.size());
      REQUIRE(kv::CutFirst10(platform, read).size() <= 10);
      break;
    }
    case 1:
      try {
        REQUIRE(std::isfinite(kv::ParseWidth(Text(data))));
      } catch (const kv::AppError& e) {
        REQUIRE(e.code() == kv::kTypeMismatch || e.code() == kv::kOverflow);
      }
      break;
    case 2: {
      const std::wstring raw = Text(data);
      const std::wstring shown = kv::FormatServiceID(raw);
      REQUIRE(shown.size() <= 7 && (raw.size() < 10 || shown.size() == 7));
      break;
    }
    default:
      try {
        REQUIRE(!kv::ToJulian(Text(data)).empty());
      } catch (const kv::AppError& e) {
        REQUIRE(e.code() == kv::kTypeMismatch);
      }
      break;
  }
  return 0;
}
