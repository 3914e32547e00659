#include "app/form_kvinfo.h"

#include "app/startup.h"
#include "identity/date_code.h"
#include "identity/service_id.h"
#include "window/form_operations.h"

namespace kv {

void FormKVInfo::Form_Load() {
  kv::Form_Load(platform_, form_, library_);
}

void FormKVInfo::Form_KeyDown(int KeyCode, int Shift) {
  kv::Form_KeyDown(form_, platform_, KeyCode, Shift);
}

std::wstring FormKVInfo::FormatServiceID(const std::wstring& sServiceID) const {
  return kv::FormatServiceID(sServiceID);
}

std::wstring FormKVInfo::ToJulian(const std::wstring& sDate) const {
  return kv::ToJulian(sDate);
}

void FormKVInfo::ChangeFont(const std::wstring& FontName) {
  kv::ChangeFont(form_, platform_, FontName);
}

}  // namespace kv
