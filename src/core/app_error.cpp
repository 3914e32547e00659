#include "core/app_error.h"

#include <string>

namespace kv {

AppError::AppError(int code, unsigned long systemError)
    : std::runtime_error(
          "error " + std::to_string(code) +
          (systemError ? " (system error " + std::to_string(systemError) + ")" : std::string())),
      code_(code) {}

}  // namespace kv
