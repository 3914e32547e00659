// The whole start-up through in-memory ports whose every answer comes from the fuzzer: the
// settings and data file values, the library's results and bytes, the code page, and one
// step failing with any code. The load event always completes or ends the program as it
// may, restores the cursor, and leaves every label with its design text or a text made
// from its input.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <set>

#include "app/form_kvinfo.h"
#include "core/app_error.h"
#include "fakes/fake_ports.h"
#include "identity/service_id.h"
#include "require.h"
#include "window/form_design.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  kv::test::Harness h;
  std::set<wchar_t> made = {L'-'};  // characters a label may show that came from input
  // A value's last byte may pair with the fill behind it in its buffer.
  const auto remember = [&](const std::string& value) {
    for (const std::string& inBuffer : {value, value + ' '}) {
      for (const wchar_t c : h.platform.FromAnsi(inBuffer)) {
        made.insert(c);
        for (const wchar_t w : kv::test::Wide(std::wstring(1, c))) made.insert(w);
      }
    }
  };
  remember("Unknown");

  h.platform.doubleByte = data.ConsumeBool();
  const bool settingsPresent = data.ConsumeIntegralInRange(0, 15) != 0;
  if (!settingsPresent) h.platform = {};
  h.platform.doubleByte = data.ConsumeBool();
  for (const wchar_t* key : {L"WindowTitle", L"UseDB", L"Text1", L"Text2", L"Text3", L"Text4",
                             L"Text5", L"Text6", L"Text7", L"Text8", L"Width"}) {
    if (!data.ConsumeBool()) continue;
    const std::string value = data.ConsumeRandomLengthString(130);
    h.SetScreen(key, value);
    remember(value);
  }
  if (data.ConsumeBool()) {
    h.platform.AddFile(kv::kSystemDataFile, L"kvsysdrv.dat");
    const std::string value = data.ConsumeRandomLengthString(20);
    h.platform.SetSetting(kv::kSystemDataFile, L"KVSYSDRV", L"BFirst", value);
    remember(value);
  }
  h.library.buildResult = data.ConsumeIntegral<std::int16_t>();
  h.library.biosResult = data.ConsumeIntegral<std::int16_t>();
  h.library.build = data.ConsumeRandomLengthString(12);
  remember(h.library.build);
  for (std::string& piece : h.library.pieces) {
    piece = data.ConsumeRandomLengthString(30);
    remember(piece);
  }
  if (data.ConsumeBool()) h.library.faults.Fail("build", kv::kLibraryNotFound);
  if (data.ConsumeBool()) h.library.faults.Fail("bios", kv::kEntryPointNotFound);

  const int failing = data.ConsumeIntegralInRange(0, 200);
  const int code = data.PickValueInArray({5, 6, 7, 13, 48, 51, 52, 75, 380, 453});
  int lastStep = 0;
  std::string_view failed;
  const auto ended = h.Run([&](int step, std::string_view name) {
    lastStep = step;
    if (step != failing) return;
    failed = name;
    throw kv::AppError(code);
  });

  if (ended) {
    REQUIRE(*ended == kv::kExitSettingsMissing);
    // The one message, unless its own step was the one that failed.
    REQUIRE(h.platform.messages.size() == (failed == "missing settings message" ? 0u : 1u));
    return 0;
  }
  REQUIRE(!h.platform.waitCursor || failing == lastStep);
  for (const kv::LabelDesign& d : kv::kLabelDesigns) {
    const std::wstring& text = h.form.Of(d.id).text;
    if (text == d.text) continue;
    REQUIRE(text.size() <= 104);
    for (const wchar_t c : text) {
      // A control character shows as the replacement character, a NUL ends the text.
      if (made.count(c) || c == L' ' || c == L'\u3000' || c == L'\uFFFD') continue;
      std::fprintf(stderr, "%ls shows U+%04X\n", d.name, static_cast<unsigned>(c));
      REQUIRE(false);
    }
  }
  return 0;
}
