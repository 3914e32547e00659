// The Windows Installer package as an IT department uses it, silently with msiexec in a fresh
// prefix: install, start from the Start-menu shortcut, upgrade to the next version, repair,
// refuse the older version, remove.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, whose types they use.
#include <msi.h>
#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include "harness.h"
#include "scenario.h"

namespace kv::test {
namespace {

constexpr wchar_t kUpgradeCode[] = L"{8D3E44A2-587A-4310-80D1-990182B6380B}";
constexpr wchar_t kInstalledFiles[][16] = {L"Quorin.exe", L"TOVRAMIX.DLL", L"quorin-id.exe",
                                           L"Quorin.ini", L"README.txt"};

// msiexec as an administrator runs it, silently: ACTION (/i or /x) on a package of the build,
// with the properties given; its exit code.
DWORD Msiexec(const wchar_t* action, const std::wstring& package,
              const std::wstring& properties = L"") {
  std::wstring commandLine =
      L"msiexec.exe " + std::wstring(action) + L" \"" + package + L"\" " + properties + L" /qn";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return GetLastError();
  }
  const win32::UniqueHandle process(info.hProcess), thread(info.hThread);
  WaitForSingleObject(info.hProcess, 120000);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info.hProcess, &code);
  return code;
}

std::wstring Folder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What Apps & features lists: each installed product of ours, and a property of it.
std::vector<std::wstring> Products() {
  std::vector<std::wstring> codes;
  wchar_t code[39];
  for (DWORD i = 0; MsiEnumRelatedProductsW(kUpgradeCode, 0, i, code) == ERROR_SUCCESS; ++i) {
    codes.push_back(code);
  }
  return codes;
}
std::wstring Info(const std::wstring& product, const wchar_t* property) {
  wchar_t value[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  MsiGetProductInfoW(product.c_str(), property, value, &size);
  return value;
}

std::wstring ReadSetting(const std::wstring& ini, const wchar_t* key) {
  wchar_t value[128] = {};
  GetPrivateProfileStringW(L"Screen", key, L"", value, 128, ini.c_str());
  return value;
}

// The Start-menu shortcut's target and working folder; empty where there is none. It is per
// machine; Wine puts a per-machine Start-menu item in the user's.
std::pair<std::wstring, std::wstring> Shortcut() {
  std::wstring path = Folder(CSIDL_COMMON_PROGRAMS) + L"\\Quorin.lnk";
  if (!Exists(path)) path = Folder(CSIDL_PROGRAMS) + L"\\Quorin.lnk";
  wchar_t target[MAX_PATH] = {}, workingFolder[MAX_PATH] = {};
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        link->GetPath(target, MAX_PATH, nullptr, 0);
        link->GetWorkingDirectory(workingFolder, MAX_PATH);
      }
      file->Release();
    }
    link->Release();
  }
  return {target, workingFolder};
}

TEST(Installer, InstallsUpgradesRepairsAndRemovesForReal) {
  CoInitialize(nullptr);
  const std::wstring msi = BuiltFile(L"QUORIN_MSI_DIR", KV_MSI_NAME);
  const std::wstring next = BuiltFile(L"QUORIN_NEXT_MSI_DIR", KV_NEXT_MSI_NAME);
  std::wstring folder = Folder(CSIDL_PROGRAM_FILES) + L"\\Quorin\\";
  ASSERT_EQ(Msiexec(L"/i", msi), 0u);
  for (const wchar_t* name : kInstalledFiles) EXPECT_TRUE(Exists(folder + name)) << name;
  EXPECT_FALSE(Exists(L"C:\\windows\\system\\kvsysdrv.dat"));
  ASSERT_EQ(Products().size(), 1u);
  const std::wstring product = Products()[0];
  EXPECT_EQ(Info(product, INSTALLPROPERTY_INSTALLEDPRODUCTNAME), L"Quorin");
  EXPECT_EQ(Info(product, INSTALLPROPERTY_VERSIONSTRING), KV_PROJECT_VERSION);
  EXPECT_EQ(Info(product, INSTALLPROPERTY_PUBLISHER), L"KV Solvane");
  EXPECT_TRUE(Exists(Info(product, INSTALLPROPERTY_PRODUCTICON)));
  const auto [target, workingFolder] = Shortcut();
  EXPECT_EQ(target, folder + L"Quorin.exe");
  EXPECT_EQ(workingFolder, folder);
  // The Japanese settings, double-byte mode, on a Japanese system; the English ones elsewhere.
  const bool japanese = GetSystemDefaultLangID() == 1041;
  EXPECT_EQ(ReadSetting(folder + L"Quorin.ini", L"UseDB"), japanese ? L"true" : L"false");
  {
    ProgramRun run(target, workingFolder);
    ASSERT_EQ(run.Wait(), ProgramRun::Outcome::kWindow);
    const std::wstring title = ReadSetting(folder + L"Quorin.ini", L"WindowTitle");
    EXPECT_EQ(run.Caption(), japanese ? FullWidth(title) : title);
  }
  EXPECT_EQ(Msiexec(L"/x", msi), 0u);
  EXPECT_FALSE(Exists(folder));

  // Elsewhere: the next version replaces this one there and keeps the administrator's
  // settings, as a repair does; this one, older, is refused and changes nothing. Then nothing
  // is left behind.
  folder = L"C:\\Tools\\Quorin\\";
  ASSERT_EQ(Msiexec(L"/i", msi, L"INSTALLDIR=" + folder + L" SETTINGS=Japanese"), 0u);
  EXPECT_EQ(ReadSetting(folder + L"Quorin.ini", L"UseDB"), L"true");
  WritePrivateProfileStringW(L"Screen", L"WindowTitle", L"Edited",
                             (folder + L"Quorin.ini").c_str());
  ASSERT_EQ(Msiexec(L"/i", next), 0u);
  DeleteFileW((folder + L"README.txt").c_str());
  EXPECT_EQ(Msiexec(L"/i", next, L"REINSTALL=ALL REINSTALLMODE=omus"), 0u);
  EXPECT_EQ(Msiexec(L"/i", msi), static_cast<DWORD>(ERROR_INSTALL_FAILURE));
  ASSERT_EQ(Products().size(), 1u);
  EXPECT_EQ(Info(Products()[0], INSTALLPROPERTY_VERSIONSTRING), KV_NEXT_VERSION);
  for (const wchar_t* name : kInstalledFiles) EXPECT_TRUE(Exists(folder + name)) << name;
  EXPECT_EQ(ReadSetting(folder + L"Quorin.ini", L"WindowTitle"), L"Edited");
  EXPECT_EQ(Msiexec(L"/x", next), 0u);
  EXPECT_TRUE(Products().empty());
  EXPECT_FALSE(Exists(folder));
  EXPECT_EQ(Shortcut().first, L"");
}

}  // namespace
}  // namespace kv::test
