#pragma once

#include <string>

namespace kv {

// A date text, day first at fixed positions (15/07/2000), as a short code counted from
// 1990: the year part, the month part and the day part joined as text. Raises 13 when the
// year or month text is not a number.
std::wstring ToJulian(const std::wstring& sDate);

}  // namespace kv
