// The Windows Installer package as an IT department uses it, silently with msiexec in a fresh
// prefix: install, start from the Start-menu shortcut, upgrade to the next version, repair,
// refuse the older version, remove; then any package of ours over any other.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, whose types they use.
#include <msi.h>
#include <shlobj.h>

#include <cstdio>
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

// One run of msiexec (started as StartProcess starts a program); its exit code.
DWORD MsiexecOnce(const wchar_t* action, const std::wstring& package,
                  const std::wstring& properties) {
  std::wstring commandLine =
      L"msiexec.exe " + std::wstring(action) + L" \"" + package + L"\" " + properties + L" /qn";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  const PROCESS_INFORMATION info = StartProcess(commandLine, nullptr, false, startup);
  const win32::UniqueHandle process(info.hProcess), thread(info.hThread);
  // To its end, however loaded the machine: CTest's timeout bounds the run, and a cap here
  // would read an install still running as one that failed.
  WaitForSingleObject(info.hProcess, INFINITE);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info.hProcess, &code);
  return code;
}

// msiexec as an administrator runs it, silently: ACTION (/i or /x) on a package of the build,
// with the properties given; its exit code. On a loaded machine Wine now and then fails to
// start the nested msiexec that its RemoveExistingProducts starts for the older product
// (ERROR_INTERNAL_ERROR: the new process ended before it had started), which msiexec returns
// after rolling the install back. That is tried again; what fails every time is a failure.
DWORD Msiexec(const wchar_t* action, const std::wstring& package,
              const std::wstring& properties = L"") {
  DWORD code = ERROR_INTERNAL_ERROR;
  for (int attempt = 1; code == ERROR_INTERNAL_ERROR && attempt <= 3; ++attempt) {
    if (attempt > 1) std::wprintf(L"msiexec could not start a process; trying again\n");
    code = MsiexecOnce(action, package, properties);
  }
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

// A file's version, from its version record, as a.b.c.d; empty where it has none.
std::wstring FileVersion(const std::wstring& path) {
  std::vector<char> record(GetFileVersionInfoSizeW(path.c_str(), nullptr));
  VS_FIXEDFILEINFO* info = nullptr;
  UINT size = 0;
  if (record.empty() || !GetFileVersionInfoW(path.c_str(), 0, record.size(), record.data()) ||
      !VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&info), &size)) {
    return L"";
  }
  return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." +
         std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"." +
         std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." +
         std::to_wstring(LOWORD(info->dwFileVersionLS));
}

// Wine keeps a settings file it has read while the file's time stays the same, and the
// installer gives each file the package's time: both drop that copy first.
std::wstring ReadSetting(const std::wstring& ini, const wchar_t* key) {
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
  wchar_t value[128] = {};
  GetPrivateProfileStringW(L"Screen", key, L"", value, 128, ini.c_str());
  return value;
}
void EditTitle(const std::wstring& folder) {
  const std::wstring ini = folder + L"Quorin.ini";
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
  WritePrivateProfileStringW(L"Screen", L"WindowTitle", L"Edited", ini.c_str());
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
  EditTitle(folder);
  ASSERT_EQ(Msiexec(L"/i", next), 0u);
  DeleteFileW((folder + L"README.txt").c_str());
  EXPECT_EQ(Msiexec(L"/i", next, L"REINSTALL=ALL REINSTALLMODE=omus"), 0u);
  EXPECT_EQ(Msiexec(L"/i", msi), static_cast<DWORD>(ERROR_INSTALL_FAILURE));
  ASSERT_EQ(Products().size(), 1u);
  EXPECT_EQ(Info(Products()[0], INSTALLPROPERTY_VERSIONSTRING), KV_NEXT_VERSION);
  for (const wchar_t* name : kInstalledFiles) EXPECT_TRUE(Exists(folder + name)) << name;
  for (const wchar_t* name : {L"Quorin.exe", L"TOVRAMIX.DLL", L"quorin-id.exe"}) {
    EXPECT_EQ(FileVersion(folder + name), std::wstring(KV_NEXT_VERSION) + L".0") << name;
  }
  EXPECT_EQ(ReadSetting(folder + L"Quorin.ini", L"WindowTitle"), L"Edited");
  EXPECT_EQ(Msiexec(L"/x", next), 0u);
  EXPECT_TRUE(Products().empty());
  EXPECT_FALSE(Exists(folder));
  EXPECT_EQ(Shortcut().first, L"");
}

// Whether the shortcut's key path, the one registry key of ours, is there in either view.
bool OurKeyExists() {
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\KV Solvane", 0, KEY_READ | view, &key) ==
        ERROR_SUCCESS) {
      RegCloseKey(key);
      return true;
    }
  }
  return false;
}

// What an administrator may install over what: each step's package and properties, its exit
// code, then the one product left (its version and folder; none after a removal), with the
// edited settings in its folder and nothing in the folders it left.
struct Step {
  const wchar_t* action;
  const wchar_t* package;  // this, rebuilt, next or other (the other architecture's)
  const wchar_t* properties;
  DWORD exitCode;
  const wchar_t* version;  // empty: no product
  const wchar_t* folder;
};

TEST(Installer, AnyPackageOverAnyOtherLeavesOneProduct) {
  CoInitialize(nullptr);
  const std::wstring programFiles = Folder(CSIDL_PROGRAM_FILES),
                     programs = programFiles + L"\\Quorin\\";
  const std::wstring other = Folder(CSIDL_PROGRAM_FILESX86) + L"\\Quorin\\";
  const std::wstring tools = L"C:\\Tools\\Quorin\\", apps = L"C:\\Apps\\Quorin\\";
  const std::wstring to = L"INSTALLDIR=" + apps, otherIn = L"SETTINGS=ENGLISH INSTALLDIR=" + tools,
                     inPrograms = L"SETTINGS=ENGLISH INSTALLDIR=\"" + programFiles + L"\\Quorin\"",
                     inProgramsSpelt = L"INSTALLDIR=\"" + programFiles + L"\\.\\Quorin\"";
  const bool otherArchitecture = GetEnvironmentVariableW(L"QUORIN_OTHER_MSI_DIR", nullptr, 0) > 0;
  const std::wstring version = KV_PROJECT_VERSION, nextVersion = KV_NEXT_VERSION;
  const std::vector<std::pair<std::wstring, std::wstring>> packages = {
      {L"this", BuiltFile(L"QUORIN_MSI_DIR", KV_MSI_NAME)},
      {L"rebuilt", BuiltFile(L"QUORIN_NEXT_MSI_DIR", KV_REBUILT_MSI_NAME)},
      {L"next", BuiltFile(L"QUORIN_NEXT_MSI_DIR", KV_NEXT_MSI_NAME)},
      {L"other", otherArchitecture ? BuiltFile(L"QUORIN_OTHER_MSI_DIR", KV_OTHER_MSI_NAME) : L""}};
  const std::wstring in = L"SETTINGS=english INSTALLDIR=" + tools;
  std::vector<Step> steps = {
      {L"/i", L"this", in.c_str(), 0, version.c_str(), tools.c_str()},
      {L"/i", L"this", L"SETTINGS=French", ERROR_INSTALL_FAILURE, version.c_str(), tools.c_str()},
      // The same product: Wine runs it as a maintenance of the installed one, Windows refuses
      // it (1638) unless told to update it in place (REINSTALLMODE=vomus).
      {L"/i", L"rebuilt", L"", 0, version.c_str(), tools.c_str()},
      // An upgrade goes where INSTALLDIR says, and leaves nothing where it was.
      {L"/i", L"next", to.c_str(), 0, nextVersion.c_str(), apps.c_str()},
      {L"/i", L"rebuilt", L"", ERROR_INSTALL_FAILURE, nextVersion.c_str(), apps.c_str()},
      {L"/x", L"next", L"", 0, L"", L""},
  };
  if (otherArchitecture) {
    steps.insert(
        steps.end(),
        {
            // Not in the folder of the other architecture's files, which its removal would take,
            // however INSTALLDIR spells it.
            {L"/i", L"other", inPrograms.c_str(), 0, version.c_str(), programs.c_str()},
            {L"/i", L"this", L"", ERROR_INSTALL_FAILURE, version.c_str(), programs.c_str()},
            {L"/x", L"other", L"", 0, L"", L""},
            {L"/i", L"other", otherIn.c_str(), 0, version.c_str(), tools.c_str()},
            {L"/i", L"this", L"", 0, version.c_str(), programs.c_str()},
            {L"/i", L"other", inProgramsSpelt.c_str(), ERROR_INSTALL_FAILURE, version.c_str(),
             programs.c_str()},
            {L"/i", L"other", L"", 0, version.c_str(), other.c_str()},
            {L"/i", L"next", L"", 0, nextVersion.c_str(), programs.c_str()},
            {L"/i", L"other", L"", ERROR_INSTALL_FAILURE, nextVersion.c_str(), programs.c_str()},
            {L"/x", L"next", L"", 0, L"", L""},
        });
  }
  for (const Step& step : steps) {
    std::wstring package;
    for (const auto& [name, path] : packages) {
      if (name == step.package) package = path;
    }
    const std::wstring what =
        std::wstring(step.action) + L" " + step.package + L" " + step.properties;
    SCOPED_TRACE(testing::Message() << what);
    const bool fresh = Products().empty();
    EXPECT_EQ(Msiexec(step.action, package, step.properties), step.exitCode);
    // A first install's settings are edited; every later step keeps them.
    const std::wstring folder = step.folder;
    if (fresh && !folder.empty()) {
      EditTitle(folder);
    }
    const auto products = Products();
    ASSERT_EQ(products.size(), folder.empty() ? 0u : 1u);
    for (const std::wstring& place : {tools, apps, programs, other}) {
      EXPECT_EQ(Exists(place), place == folder) << place;
    }
    int files = 0;
    for (const wchar_t* name : kInstalledFiles) files += Exists(folder + name);
    std::wprintf(
        L"%ls: %zu entry %ls at %ls, key %ls; %d files in %ls, shortcut to %ls, title %ls\n",
        what.c_str(), products.size(),
        products.empty() ? L"" : Info(products[0], INSTALLPROPERTY_VERSIONSTRING).c_str(),
        products.empty() ? L"" : Info(products[0], INSTALLPROPERTY_INSTALLLOCATION).c_str(),
        OurKeyExists() ? L"present" : L"absent", files, folder.c_str(), Shortcut().first.c_str(),
        ReadSetting(folder + L"Quorin.ini", L"WindowTitle").c_str());
    EXPECT_EQ(OurKeyExists(), !folder.empty());
    if (folder.empty()) {
      EXPECT_EQ(Shortcut().first, L"");
      continue;
    }
    EXPECT_EQ(Info(products[0], INSTALLPROPERTY_VERSIONSTRING), step.version);
    EXPECT_EQ(Shortcut(), std::make_pair(folder + L"Quorin.exe", folder));
    EXPECT_EQ(FileVersion(folder + L"Quorin.exe"), std::wstring(step.version) + L".0");
    EXPECT_EQ(ReadSetting(folder + L"Quorin.ini", L"WindowTitle"), L"Edited");
    // English as SETTINGS said, in any case, whatever the system's language.
    EXPECT_EQ(ReadSetting(folder + L"Quorin.ini", L"UseDB"), L"false");
  }
}

}  // namespace
}  // namespace kv::test
