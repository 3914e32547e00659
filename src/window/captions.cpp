#include "window/captions.h"

#include "settings/settings.h"
#include "window/form_design.h"

namespace kv {

void LoadCaptionTexts(StepContext& s) {
  // Chosen once: a switch to single-byte mode inside the loop does not change the form.
  const auto mode = ChooseMode(s, "caption texts mode");
  if (!mode) return;
  // Read in their own order; the key numbers do not follow the rows of the window.
  for (const Field& field : kCaptionOrder) {
    const std::wstring text = ReadScreenText(s, field.captionKey);
    // The caption, then its font.
    ShowInMode(s, *mode, field.caption, text);
    SetModeFont(s, *mode, field.caption);
  }
}

}  // namespace kv
