#include "window/captions.h"

#include "settings/settings.h"

namespace kv {
namespace {

struct CaptionKey {
  const wchar_t* key;
  Label label;
};

// Read in this order; the key numbers do not follow the rows of the window.
constexpr CaptionKey kCaptionKeys[] = {
    {L"Text3", Label::LabelSupportID}, {L"Text2", Label::LabelSerial},
    {L"Text1", Label::LabelModel},     {L"Text5", Label::LabelProduct},
    {L"Text4", Label::LabelSWBuild},   {L"Text6", Label::LabelHWBOM},
    {L"Text7", Label::LabelSWBOM},     {L"Text8", Label::LabelBOD},
};

}  // namespace

void LoadCaptionTexts(StepContext& s) {
  // Chosen once: a switch to single-byte mode inside the loop does not change the form.
  const auto mode = ChooseMode(s, "caption texts mode");
  if (!mode) return;
  for (const CaptionKey& row : kCaptionKeys) {
    const std::wstring text = ReadScreenText(s, row.key);
    // The caption, then its font.
    ShowInMode(s, *mode, row.label, text);
    SetModeFont(s, *mode, row.label);
  }
}

}  // namespace kv
