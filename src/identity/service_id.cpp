#include "identity/service_id.h"

#include <optional>

#include "core/text.h"
#include "settings/settings.h"

namespace kv {
namespace {

constexpr Label kLabel = Label::LabelBODContent;

}  // namespace

std::wstring FormatServiceID(std::wstring_view sServiceID) {
  return Mid(sServiceID, 1, 2) + Mid(sServiceID, 4, 1) + L"-" + Mid(sServiceID, 5, 1) +
         Mid(sServiceID, 9, 2);
}

void LoadServiceID(Startup& s) {
  const bool exists = s.policy.Test(
      [&] { return AsciiUpper(s.platform.FindFileName(kSystemDataFile)) == L"KVSYSDRV.DAT"; });
  const auto singleByte = s.policy.Choose([&] { return s.SingleByteMode; });
  if (!singleByte) return;
  if (!exists) {
    // Unlike a value that was read, the missing file keeps the design font.
    s.policy.Step([&] {
      s.form.SetLabelText(kLabel, *singleByte ? kUnknown : s.platform.ToFullWidth(kUnknown));
    });
    return;
  }
  const SettingBuffer read = ReadSetting(s, kSystemDataFile, L"KVSYSDRV", L"BFirst", kUnknown);
  // Nothing read, nothing shown: formatting a blank buffer would look like an ID.
  std::optional<std::wstring> raw;
  bool absent = false;
  s.policy.Step([&] {
    if (!read.complete) return;
    // The default comes back for a missing key: it is shown whole, not rearranged as if it
    // were an ID.
    absent = CutByCount(s.platform, read) == kUnknown;
    raw = absent ? kUnknown : CutFirst10(s.platform, read);
  });
  const auto display = [&](const std::wstring& id) { return absent ? id : FormatServiceID(id); };
  if (!*singleByte) {
    s.policy.Step([&] {
      if (raw) s.form.SetLabelText(kLabel, display(s.platform.ToFullWidth(*raw)));
    });
  } else {
    s.policy.Step([&] {
      if (raw) s.form.SetLabelText(kLabel, display(*raw));
    });
    SetSingleByteFont(s, kLabel);
  }
}

}  // namespace kv
