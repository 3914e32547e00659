#include "core/width_rule.h"

#include <cmath>

#include "core/app_error.h"

namespace kv {

float WidthRule::Resolve(const std::function<float()>& supportIdWidth,
                         const std::function<float()>& windowWidth) const {
  if (basis_ == Basis::kTwips) return twips_;
  const float label = supportIdWidth();
  const float width = basis_ == Basis::kSupportIdAnd ? label + twips_ : label / 2 + windowWidth();
  if (!std::isfinite(width)) throw AppError(kOverflow);
  return width;
}

}  // namespace kv
