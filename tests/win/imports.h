#pragma once

#include <windows.h>

#include <cstring>

namespace kv::test {

// Points a module's import of a function at another for as long as it lives, so that a test sees
// each call the module makes, and puts the old pointer back when it goes. patched() is false
// where the module has no such import or its slot cannot be written.
class ImportPatch {
 public:
  ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement) {
    ULONG_PTR* slot = Find(reinterpret_cast<BYTE*>(module), dll, function);
    if (!slot) return;
    const ULONG_PTR old = *slot;
    if (Write(slot, reinterpret_cast<ULONG_PTR>(replacement))) {
      slot_ = slot;
      old_ = old;
    }
  }
  ~ImportPatch() {
    if (slot_) Write(slot_, old_);
  }
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  bool patched() const { return slot_ != nullptr; }

 private:
  // The slot of the import in the module's import address table; null where there is none.
  static ULONG_PTR* Find(BYTE* base, const char* dll, const char* function) {
    if (!base || reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_magic != IMAGE_DOS_SIGNATURE) {
      return nullptr;
    }
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE ||
        nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT) {
      return nullptr;
    }
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress || !imports.Size) return nullptr;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name; ++entry) {
      if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), dll) != 0 ||
          !entry->OriginalFirstThunk) {
        continue;
      }
      auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
      for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
           name->u1.AddressOfData; ++name, ++slot) {
        if (!IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) &&
            std::strcmp(
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name,
                function) == 0) {
          return reinterpret_cast<ULONG_PTR*>(&slot->u1.Function);
        }
      }
    }
    return nullptr;
  }

  static bool Write(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return false;
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return true;
  }

  ULONG_PTR* slot_ = nullptr;
  ULONG_PTR old_ = 0;
};

}  // namespace kv::test
