#include "core/error_policy.h"

#include <new>

#include "core/app_error.h"

namespace kv {

bool ErrorPolicy::Step(std::string_view name, const std::function<void()>& action) {
  ++stepsRun_;
  try {
    if (faultHook_) faultHook_(stepsRun_, name);
    action();
    return true;
  } catch (const AppError& e) {
    Fail(e.code());
  } catch (const std::bad_alloc&) {
    Fail(kOutOfMemory);
  } catch (const std::exception&) {
    Fail(kInternalError);
  }
  return false;
}

void ErrorPolicy::Fail(int code) {
  if (code == kInvalidCall) unsupported_();
}

}  // namespace kv
