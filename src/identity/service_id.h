#pragma once

#include <string>
#include <string_view>

#include "core/step_context.h"

namespace kv {

inline constexpr wchar_t kSystemDataFile[] = L"C:\\windows\\system\\kvsysdrv.dat";

// The display form of a raw service ID: characters 1, 2 and 4, "-", characters 5, 9 and
// 10. Never fails: positions past the end give nothing.
std::wstring FormatServiceID(std::wstring_view sServiceID);

// Shows the service ID from the system data file in LabelBODContent.
void LoadServiceID(StepContext& s);

}  // namespace kv
