#include "app/startup.h"

#include "core/step_context.h"
#include "core/text.h"
#include "identity/identity_buffers.h"
#include "identity/identity_fields.h"
#include "identity/service_id.h"
#include "settings/settings.h"
#include "window/captions.h"

namespace kv {

void Form_Load(Platform& platform, Form& form, IdentityLibrary& library,
               ErrorPolicy::FaultHook faultHook) {
  IdentityBuffers buffers;
  if (platform.OtherInstanceRunning()) platform.EndProgram(kExitSecondInstance);
  StepContext s(platform, form, library, std::move(faultHook));
  s.SingleByteMode = false;

  s.policy.Step("wait cursor", [&] { platform.SetWaitCursor(); });
  std::wstring directory;
  s.policy.Step("current directory", [&] { directory = platform.CurrentDirectory(); });
  s.policy.Step("settings path", [&] { s.settingsPath = SettingsPathIn(directory); });
  const bool present = s.policy.Test("settings file test", [&] {
    return AsciiUpper(platform.FindFileName(s.settingsPath)) == L"QUORIN.INI";
  });
  if (present) {
    LoadWindowTitle(s);
    LoadCaptionTexts(s);
  } else {
    s.policy.Step("missing settings message", [&] {
      platform.ShowMessage(L"File Quorin.ini is Missing!", platform.AppTitle(), MessageIcon::kStop);
    });
    s.policy.Step("end program", [&] { platform.EndProgram(kExitSettingsMissing); });
  }
  LoadServiceID(s);
  LoadIdentityFields(s, buffers);
  s.policy.Step("default cursor", [&] { platform.ResetCursor(); });
}

}  // namespace kv
