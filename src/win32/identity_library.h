#pragma once

#include <windows.h>

#include <string>

#include "core/ports.h"
#include "win32/handles.h"

namespace kv::win32 {

// TOVRAMIX.DLL, loaded by file name at the first call through the ordinary search order;
// where that order may not be trusted (searchIsSafe false), never loaded, as if absent.
class DllIdentityLibrary : public IdentityLibrary {
 public:
  DllIdentityLibrary(std::wstring fileName, bool searchIsSafe)
      : fileName_(std::move(fileName)), searchIsSafe_(searchIsSafe) {}

  std::int16_t GetHardDiskBuildId(std::string& build) override;
  std::int16_t GetBiosStringPieces(PieceBuffers& pieces) override;
  // Unloads the library, which only the start-up calls; a later call loads it again.
  void Close() { module_.reset(); }

 private:
  // As the generic function pointer type, which converts to the real one without warning.
  void (*Export(const char* name))();

  std::wstring fileName_;
  bool searchIsSafe_;
  UniqueModule module_;
};

}  // namespace kv::win32
