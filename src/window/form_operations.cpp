#include "window/form_operations.h"

#include "core/text.h"
#include "window/copying.h"
#include "window/form_design.h"

namespace kv {

std::wstring VersionText(const ProgramVersion& version) {
  return L"Version " + Decimal(version.major) + L"." + Decimal(version.minor) + L"." +
         Decimal(version.revision);
}

std::wstring WindowText(const Form& form) {
  std::wstring text;
  const auto line = [&](const std::wstring& shown) {
    text += TrimBlanksAtEnd(shown);
    text += L"\r\n";
  };
  line(form.Caption());
  for (const Row& row : kRows)
    line(form.LabelText(row.caption) + L"\t" + form.LabelText(row.value));
  return text;
}

void Form_KeyDown(Form& form, Platform& platform, int KeyCode, int Shift) {
  // Built on every key press, whichever key it is.
  const std::wstring version = VersionText(platform.Version());
  if (KeyCode == kKeyB && Shift == (kShiftMask | kCtrlMask)) {
    platform.ShowMessage(std::wstring(18, L' ') + version, form.Caption(), MessageIcon::kNone);
  } else if (KeyCode == kKeyC && Shift == kCtrlMask) {
    Copy(form, platform, CopyCommand::All());
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
