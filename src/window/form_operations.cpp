#include "window/form_operations.h"

#include "core/text.h"
#include "window/form_design.h"

namespace kv {

std::wstring VersionText(const ProgramVersion& version) {
  return L"Version " + Decimal(version.major) + L"." + Decimal(version.minor) + L"." +
         Decimal(version.revision);
}

void Form_KeyDown(Form& form, Platform& platform, int KeyCode, int Shift) {
  // Built on every key press, whichever key it is.
  const std::wstring version = VersionText(platform.Version());
  if (KeyCode == kKeyB && Shift == (kShiftMask | kCtrlMask)) {
    platform.ShowMessage(std::wstring(18, L' ') + version, form.Caption(), MessageIcon::kNone);
  }
}

void ChangeFont(Form& form, Platform& platform, [[maybe_unused]] const std::wstring& FontName) {
  for (const LabelDesign& d : kLabelDesigns) {
    if (form.LabelFontName(d.id) != L"Gothic") continue;
    platform.ShowMessage(form.LabelFontName(d.id), platform.AppTitle(), MessageIcon::kNone);
    return;
  }
}

}  // namespace kv
