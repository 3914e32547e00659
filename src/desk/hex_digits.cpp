#include "desk/hex_digits.h"

#include <array>

namespace kv::desk {
namespace {

constexpr std::array<std::int8_t, 256> kHexValues = [] {
  std::array<std::int8_t, 256> values{};
  values.fill(-1);
  for (int i = 0; i < 10; ++i) values['0' + i] = static_cast<std::int8_t>(i);
  for (int i = 0; i < 6; ++i) values['a' + i] = values['A' + i] = static_cast<std::int8_t>(10 + i);
  return values;
}();

}  // namespace

int HexValue(char32_t c) {
  return c < kHexValues.size() ? kHexValues[c] : -1;
}

}  // namespace kv::desk
