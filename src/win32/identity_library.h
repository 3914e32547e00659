#pragma once

#include <windows.h>

#include <string>

#include "core/ports.h"
#include "win32/handles.h"

namespace kv::win32 {

// TOVRAMIX.DLL, loaded by file name at the first call through the ordinary search order.
class DllIdentityLibrary : public IdentityLibrary {
 public:
  explicit DllIdentityLibrary(std::wstring fileName) : fileName_(std::move(fileName)) {}

  std::int16_t GetHardDiskBuildId(std::string& build) override;
  std::int16_t GetBiosStringPieces(PieceBuffers& pieces) override;

 private:
  // As the generic function pointer type, which converts to the real one without warning.
  void (*Export(const char* name))();

  std::wstring fileName_;
  UniqueModule module_;
};

}  // namespace kv::win32
