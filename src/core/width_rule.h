#pragma once

#include <functional>

namespace kv {

// How the start-up sets the window's outer width, in twips: a number, or a fallback worked out
// from the support ID label's width and the window's own. The window keeps the rule, so that
// it can work its width out again where its DPI changes.
class WidthRule {
 public:
  static constexpr WidthRule Twips(float twips) { return WidthRule(Basis::kTwips, twips); }
  // As wide as the support ID label and a margin.
  static constexpr WidthRule SupportIdAnd(float marginTwips) {
    return WidthRule(Basis::kSupportIdAnd, marginTwips);
  }
  // Wider than now by half the support ID label.
  static constexpr WidthRule HalfSupportIdMore() { return WidthRule(Basis::kHalfSupportIdMore, 0); }

  // The width in twips. Reads the support ID label's width, then the window's, each only where
  // the rule needs it. Raises 6 when a width it works out is beyond single precision.
  float Resolve(const std::function<float()>& supportIdWidth,
                const std::function<float()>& windowWidth) const;

  bool operator==(const WidthRule&) const = default;

 private:
  enum class Basis { kTwips, kSupportIdAnd, kHalfSupportIdMore };
  constexpr WidthRule(Basis basis, float twips) : basis_(basis), twips_(twips) {}

  Basis basis_;
  float twips_;
};

}  // namespace kv
