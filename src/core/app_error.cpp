#include "core/app_error.h"

#include <string>

namespace kv {

AppError::AppError(int code) : std::runtime_error("error " + std::to_string(code)), code_(code) {}

}  // namespace kv
