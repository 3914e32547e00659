#pragma once

#include <string>
#include <string_view>

#include "core/step_context.h"

namespace kv {

// The system data file: its name, where it is, and the key of the raw service ID.
inline constexpr wchar_t kSystemDataFileName[] = L"kvsysdrv.dat";
inline constexpr wchar_t kSystemDataFile[] = L"C:\\windows\\system\\kvsysdrv.dat";
inline constexpr wchar_t kSystemDataSection[] = L"KVSYSDRV";
inline constexpr wchar_t kServiceIdKey[] = L"BFirst";

// The display form of a raw service ID: characters 1, 2 and 4, "-", characters 5, 9 and
// 10. Never fails: positions past the end give nothing.
std::wstring FormatServiceID(std::wstring_view sServiceID);

// Shows the service ID from the system data file in LabelBODContent.
void LoadServiceID(StepContext& s);

}  // namespace kv
