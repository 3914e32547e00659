#include "core/display_mode.h"

namespace kv {
namespace {

constexpr float kDoubleByteMargin = 6;  // twips beside the support ID

}  // namespace

std::wstring DisplayMode::Shown(const Platform& platform, const std::wstring& text) const {
  return kind_ == Kind::kDoubleByte ? platform.ToFullWidth(text) : text;
}

std::wstring DisplayMode::LeftTrimmed(std::wstring_view text) const {
  const auto first = text.find_first_not_of(
      kind_ == Kind::kDoubleByte ? std::wstring_view(L" \u3000", 2) : std::wstring_view(L" ", 1));
  return first == std::wstring_view::npos ? std::wstring() : std::wstring(text.substr(first));
}

std::optional<LabelFont> DisplayMode::Font() const {
  if (kind_ == Kind::kDoubleByte) return std::nullopt;
  return LabelFont{L"Arial", 14.0f};
}

WidthRule DisplayMode::WidthFallback() const {
  return kind_ == Kind::kDoubleByte ? WidthRule::SupportIdAnd(kDoubleByteMargin)
                                    : WidthRule::HalfSupportIdMore();
}

DisplayMode::PieceSteps DisplayMode::Pieces() const {
  return kind_ == Kind::kDoubleByte ? PieceSteps::kValuesAroundWidth
                                    : PieceSteps::kFontsValuesWidth;
}

std::optional<DisplayMode> ChooseMode(StepContext& s, std::string_view name) {
  return s.policy.Choose(name, [&] { return DisplayMode::Selected(s.SingleByteMode); });
}

void ShowInMode(StepContext& s, DisplayMode mode, Label label, const std::wstring& text,
                const std::function<std::wstring(std::wstring)>& finish) {
  s.policy.Step("label text", [&] {
    std::wstring shown = mode.Shown(s.platform, text);
    s.form.SetLabelText(label, finish ? finish(std::move(shown)) : shown);
  });
}

void SetModeFont(StepContext& s, DisplayMode mode, Label label) {
  const std::optional<LabelFont> font = mode.Font();
  if (!font) return;
  s.policy.Step("font name", [&] { s.form.SetLabelFontName(label, font->name); });
  s.policy.Step("font size", [&] { s.form.SetLabelFontSize(label, font->points); });
}

}  // namespace kv
