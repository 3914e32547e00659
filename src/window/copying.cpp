#include "window/copying.h"

#include "core/text.h"
#include "window/form_operations.h"

namespace kv {

std::wstring CopyCommand::Text(const WindowPort& form) const {
  if (!value_) return WindowText(form);
  return std::wstring(TrimBlanksAtEnd(form.LabelText(*value_)));
}

void Copy(const WindowPort& form, Platform& platform, const CopyCommand& command) {
  platform.PutOnClipboard(command.Text(form));
}

}  // namespace kv
