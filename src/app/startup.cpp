#include "app/startup.h"

#include "core/text.h"
#include "identity/identity_fields.h"
#include "identity/service_id.h"
#include "settings/settings.h"
#include "window/captions.h"

namespace kv {

void Form_Load(Platform& platform, Form& form, IdentityLibrary& library,
               ErrorPolicy::FaultHook faultHook) {
  Startup s(platform, form, library, std::move(faultHook));
  if (platform.OtherInstanceRunning()) platform.EndProgram(kExitSecondInstance);
  s.SingleByteMode = false;

  s.policy.Step([&] { platform.SetWaitCursor(); });
  std::wstring directory;
  s.policy.Step([&] { directory = platform.CurrentDirectory(); });
  // The separator goes in whatever the directory ends with: a root gives two in a row.
  s.policy.Step([&] { s.settingsPath = directory + L"\\" + kSettingsFileName; });
  const bool present = s.policy.Test(
      [&] { return AsciiUpper(platform.FindFileName(s.settingsPath)) == L"QUORIN.INI"; });
  if (present) {
    LoadWindowTitle(s);
    LoadCaptionTexts(s);
  } else {
    s.policy.Step([&] {
      platform.ShowMessage(L"File Quorin.ini is Missing!", platform.AppTitle(), MessageIcon::kStop);
    });
    s.policy.Step([&] { platform.EndProgram(kExitSettingsMissing); });
  }
  LoadServiceID(s);
  LoadIdentityFields(s);
  s.policy.Step([&] { platform.ResetCursor(); });
}

}  // namespace kv
