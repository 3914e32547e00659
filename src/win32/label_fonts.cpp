#include "win32/label_fonts.h"

#include <cmath>
#include <cwchar>

#include "core/app_error.h"
#include "window/form_design.h"

namespace kv::win32 {
namespace {

constexpr double kPointsPerInch = 72;

// From a full LOGFONTW: the label keeps the face name it was given, whatever the system draws.
UniqueFont MakeFont(const std::wstring& name, float points, int dpi) {
  LOGFONTW lf = {};
  lf.lfHeight = -static_cast<LONG>(std::lround(points * dpi / kPointsPerInch));
  lf.lfWeight = kDesignFontWeight;
  lf.lfCharSet = kDesignCharset;
  wcsncpy(lf.lfFaceName, name.c_str(), LF_FACESIZE - 1);
  UniqueFont font(CreateFontIndirectW(&lf));
  if (!font) throw AppError(kOutOfMemory, GetLastError());
  return font;
}

}  // namespace

HFONT LabelFonts::Font(const std::wstring& name, float points) {
  auto found = fonts_.find({name, points});
  if (found == fonts_.end()) {
    found = fonts_.emplace(std::pair{name, points}, MakeFont(name, points, dpi_)).first;
  }
  return found->second.get();
}

void LabelFonts::LetGo(HFONT font) {
  std::erase_if(fonts_, [&](const auto& entry) { return entry.second.get() == font; });
}

}  // namespace kv::win32
