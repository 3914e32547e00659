#pragma once

#include <stdexcept>

namespace kv {

// Numeric error codes, as users of this kind of program know them from its run-time.
enum ErrorCode : int {
  kInvalidCall = 5,  // what the full-width conversion raises without double-byte support
  kOverflow = 6,
  kOutOfMemory = 7,
  kTypeMismatch = 13,
  kInternalError = 51,
  kBadFileName = 52,
  kFileNotFound = 53,
  kLibraryNotFound = 48,
  kPathAccess = 75,
  kInvalidPropertyValue = 380,
  kEntryPointNotFound = 453,
};

// An error raised by an elementary action, carrying its numeric code; where the system said
// why, its text keeps the system's own error number too.
class AppError : public std::runtime_error {
 public:
  explicit AppError(int code, unsigned long systemError = 0);
  int code() const noexcept { return code_; }

 private:
  int code_;
};

}  // namespace kv
