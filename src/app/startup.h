#pragma once

#include <string>

#include "core/error_policy.h"
#include "core/ports.h"
#include "identity/identity_buffers.h"

namespace kv {

inline constexpr int kExitSecondInstance = 0;
inline constexpr int kExitSettingsMissing = 1;
inline constexpr int kExitCannotStart = 3;

// The working data of one run of the start-up sequence; none of it outlives the load event.
struct Startup {
  Startup(Platform& platform, Form& form, IdentityLibrary& library,
          ErrorPolicy::FaultHook faultHook = {})
      : platform(platform), form(form), library(library), policy(SingleByteMode, faultHook) {}

  Platform& platform;
  Form& form;
  IdentityLibrary& library;
  IdentityBuffers buffers;
  bool SingleByteMode = false;
  ErrorPolicy policy;
  std::wstring settingsPath;
};

// The load event of FormKVInfo: the whole start-up sequence, before the window first shows.
void Form_Load(Platform& platform, Form& form, IdentityLibrary& library,
               ErrorPolicy::FaultHook faultHook = {});

}  // namespace kv
