#include "window/form_operations.h"

#include "core/text.h"
#include "window/form_design.h"

namespace kv {

std::wstring VersionText(const ProgramVersion& version) {
  return L"Version " + Decimal(version.major) + L"." + Decimal(version.minor) + L"." +
         Decimal(version.revision);
}

std::wstring WindowText(const WindowPort& form) {
  std::wstring text;
  const auto line = [&](const std::wstring& shown) {
    text += TrimBlanksAtEnd(shown);
    text += L"\r\n";
  };
  line(form.Caption());
  for (const Field& field : kFields) {
    line(form.LabelText(field.caption) + L"\t" + form.LabelText(field.value));
  }
  return text;
}

}  // namespace kv
