#include "app/form_kvinfo.h"

#include "core/step_context.h"
#include "core/text.h"
#include "identity/identity_buffers.h"
#include "identity/identity_fields.h"
#include "identity/service_id.h"
#include "settings/settings.h"
#include "window/captions.h"
#include "window/copying.h"
#include "window/form_design.h"
#include "window/form_operations.h"

namespace kv {

void FormKVInfo::Form_Load() {
  IdentityBuffers buffers;
  if (platform_.OtherInstanceRunning()) platform_.EndProgram(kExitSecondInstance);
  StepContext s(platform_, window_, library_, faultHook_);
  s.SingleByteMode = false;

  s.policy.Step("wait cursor", [&] { platform_.SetWaitCursor(); });
  std::wstring directory;
  s.policy.Step("current directory", [&] { directory = platform_.CurrentDirectory(); });
  s.policy.Step("settings path", [&] { s.settingsPath = SettingsPathIn(directory); });
  const bool present = s.policy.Test("settings file test", [&] {
    return AsciiUpper(platform_.FindFileName(s.settingsPath)) == AsciiUpper(kSettingsFileName);
  });
  if (present) {
    LoadWindowTitle(s);
    LoadCaptionTexts(s);
  } else {
    s.policy.Step("missing settings message", [&] {
      platform_.ShowMessage(L"File Quorin.ini is Missing!", platform_.AppTitle(),
                            MessageIcon::kStop);
    });
    s.policy.Step("end program", [&] { platform_.EndProgram(kExitSettingsMissing); });
  }
  LoadServiceID(s);
  LoadIdentityFields(s, buffers);
  // After the start-up's own reads, from the same file, while the hourglass still shows.
  if (present) menuTexts_ = LoadMenuTexts(platform_, s.settingsPath);
  s.policy.Step("default cursor", [&] { platform_.ResetCursor(); });
}

void FormKVInfo::Form_KeyDown(int KeyCode, int Shift) {
  // Built on every key press, whichever key it is.
  const std::wstring version = VersionText(platform_.Version());
  if (KeyCode == kKeyB && Shift == (kShiftMask | kCtrlMask)) {
    platform_.ShowMessage(std::wstring(18, L' ') + version, window_.Caption(), MessageIcon::kNone);
  } else if (KeyCode == kKeyC && Shift == kCtrlMask) {
    Copy(window_, platform_, CopyCommand::All());
  }
}

void FormKVInfo::ChangeFont([[maybe_unused]] const std::wstring& FontName) {
  for (const LabelDesign& d : kLabelDesigns) {
    if (window_.LabelFontName(d.id) != L"Gothic") continue;
    platform_.ShowMessage(window_.LabelFontName(d.id), platform_.AppTitle(), MessageIcon::kNone);
    return;
  }
}

}  // namespace kv
