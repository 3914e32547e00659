#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace kv::win32 {

// A system call that failed outside the start-up's steps, named, with the system's own error.
class SystemError : public std::runtime_error {
 public:
  SystemError(const char* what, DWORD error)
      : std::runtime_error(std::string(what) + " failed (system error " + std::to_string(error) +
                           ")") {}
};

// What a handler of the system's messages caught, where a developer looks for it: the message
// must not cross into the system's code.
inline void Report(const char* where, const std::exception& e) {
  OutputDebugStringA((std::string("Quorin: ") + where + ": " + e.what() + "\n").c_str());
}

}  // namespace kv::win32
