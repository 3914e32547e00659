#pragma once

#include <string>
#include <utility>

#include "core/error_policy.h"
#include "core/ports.h"

namespace kv {

// What the start-up's steps work with: the ports, the one error policy, and the display-mode
// flag that the policy may set. One per run of the sequence; not copyable, since the policy
// reports to this one.
struct StepContext {
  StepContext(Platform& platform, WindowPort& form, IdentityLibrary& library,
              ErrorPolicy::FaultHook faultHook = {})
      : platform(platform),
        form(form),
        library(library),
        policy([this] { SingleByteMode = true; }, std::move(faultHook)) {}
  StepContext(const StepContext&) = delete;
  StepContext& operator=(const StepContext&) = delete;

  Platform& platform;
  WindowPort& form;
  IdentityLibrary& library;
  bool SingleByteMode = false;
  ErrorPolicy policy;
  std::wstring settingsPath;  // formed by the sequence once it knows the current directory
};

}  // namespace kv
