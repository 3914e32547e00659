#pragma once

#include <windows.h>

#include <fstream>
#include <string>

// What the end-to-end tests put around the program: the scripted firmware library's
// answers and the system data file.
namespace kv::test {

inline std::wstring FullWidth(const std::wstring& narrow) {
  std::wstring out;
  for (wchar_t c : narrow) out += c == L' ' ? L'\u3000' : (c > 0x20 && c < 0x7F ? c + 0xFEE0 : c);
  return out;
}

inline std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char b : bytes) {
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

// What the scripted library returns: the default is a full successful answer.
struct Script {
  int buildResult = 0;
  int biosResult = 0;
  std::string build = "  1234567 ";
  std::string pieces[9] = {"SER-42", "p2",  "MODEL-7", "  SUPPORT-ID", "PROD-1", "p6",
                           "p7",     "HW1", "SW"};
  int delayMs = 0;

  std::string Ini() const {
    std::string ini = "[double]\r\nObserve=1\r\nBuildResult=" + std::to_string(buildResult) +
                      "\r\nBiosResult=" + std::to_string(biosResult) +
                      "\r\nDelayMs=" + std::to_string(delayMs) + "\r\nBuild=" + Hex(build) + "\r\n";
    for (int i = 0; i < 9; ++i) {
      ini += "Piece" + std::to_string(i + 1) + "=" + Hex(pieces[i]) + "\r\n";
    }
    return ini;
  }
};

// The system data file of the prefix, removed again at the end.
class SystemDataFile {
 public:
  SystemDataFile(const std::wstring& name, const std::string& content, DWORD attributes = 0)
      : path_(L"C:\\windows\\system\\" + name) {
    std::ofstream(path_.c_str(), std::ios::binary) << content;
    if (attributes) SetFileAttributesW(path_.c_str(), attributes);
  }
  ~SystemDataFile() {
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path_.c_str());
  }
  SystemDataFile(const SystemDataFile&) = delete;
  SystemDataFile& operator=(const SystemDataFile&) = delete;

 private:
  std::wstring path_;
};

}  // namespace kv::test
