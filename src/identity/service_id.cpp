#include "identity/service_id.h"

#include <optional>

#include "core/display_mode.h"
#include "core/text.h"
#include "identity/identity_buffers.h"
#include "settings/settings.h"
#include "window/form_design.h"

namespace kv {
namespace {

constexpr Label kLabel = FieldOf(Source::kServiceId).value;

}  // namespace

std::wstring FormatServiceID(std::wstring_view sServiceID) {
  return Mid(sServiceID, 1, 2) + Mid(sServiceID, 4, 1) + L"-" + Mid(sServiceID, 5, 1) +
         Mid(sServiceID, 9, 2);
}

static_assert(std::wstring_view(kSystemDataFile).ends_with(kSystemDataFileName));

void LoadServiceID(StepContext& s) {
  const bool exists = s.policy.Test("data file test", [&] {
    return AsciiUpper(s.platform.FindFileName(kSystemDataFile)) == AsciiUpper(kSystemDataFileName);
  });
  const auto mode = ChooseMode(s, "service ID mode");
  if (!mode) return;
  if (!exists) {
    // Unlike a value that was read, the missing file keeps the design font.
    ShowInMode(s, *mode, kLabel, kUnknown);
    return;
  }
  const SettingBuffer read =
      ReadSetting(s, kSystemDataFile, kSystemDataSection, kServiceIdKey, kUnknown);
  // Nothing read, nothing shown: formatting a blank buffer would look like an ID.
  std::optional<std::wstring> raw;
  bool absent = false;
  s.policy.Step("cut service ID", [&] {
    if (!read.complete) return;
    // The default comes back for a missing key: it is shown whole, not rearranged as if it
    // were an ID.
    absent = CutByCount(s.platform, read) == kUnknown;
    raw = absent ? kUnknown : CutFirst10(s.platform, read);
  });
  // Rearranged after the conversion to full width, which leaves its "-" narrow.
  if (raw) ShowInMode(s, *mode, kLabel, *raw, absent ? nullptr : FormatServiceID);
  SetModeFont(s, *mode, kLabel);
}

}  // namespace kv
