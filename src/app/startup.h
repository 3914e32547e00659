#pragma once

#include "core/error_policy.h"
#include "core/ports.h"

namespace kv {

// The application title until the settings give one: the missing-settings message carries it.
inline constexpr wchar_t kDefaultAppTitle[] = L"Quorin";

inline constexpr int kExitSecondInstance = 0;
inline constexpr int kExitSettingsMissing = 1;
inline constexpr int kExitCannotStart = 3;

// The load event of FormKVInfo: the whole start-up sequence, before the window first shows.
// Its working data lives only as long as this call.
void Form_Load(Platform& platform, Form& form, IdentityLibrary& library,
               ErrorPolicy::FaultHook faultHook = {});

}  // namespace kv
