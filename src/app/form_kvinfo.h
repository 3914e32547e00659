#pragma once

#include <string>

#include "core/ports.h"

namespace kv {

// The main window's events and the operations it offers to other code.
class FormKVInfo {
 public:
  FormKVInfo(Form& form, Platform& platform, IdentityLibrary& library)
      : form_(form), platform_(platform), library_(library) {}

  void Form_Load();
  void Form_KeyDown(int KeyCode, int Shift);
  std::wstring FormatServiceID(const std::wstring& sServiceID) const;
  std::wstring ToJulian(const std::wstring& sDate) const;
  void ChangeFont(const std::wstring& FontName);

 private:
  Form& form_;
  Platform& platform_;
  IdentityLibrary& library_;
};

}  // namespace kv
