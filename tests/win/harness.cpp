#include "harness.h"

#include <cstdio>
#include <stdexcept>
#include <string>

namespace kv::test {
namespace {

std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

// The reply window of the probe: a message-only window that keeps the last answer.
struct ReplyWindow {
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
      auto* self = reinterpret_cast<ReplyWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      const auto* bytes = static_cast<const BYTE*>(copy->lpData);
      self->kind = copy->dwData;
      self->data.assign(bytes, bytes + copy->cbData);
      return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  ReplyWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorinProbeReply";
    RegisterClassW(&wc);
    hwnd.reset(CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr));
    SetWindowLongPtrW(hwnd.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }

  win32::UniqueWindow hwnd;
  ULONG_PTR kind = 0;
  std::vector<BYTE> data;
};

struct FindState {
  DWORD processId;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM param) {
  auto* state = reinterpret_cast<FindState*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  if (pid == state->processId && IsWindowVisible(hwnd) && std::wstring(name) == state->className) {
    state->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

std::wstring TextOf(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  return text;
}

// A window's client area as the screen shows it, one pixel a DWORD, top row first.
std::vector<DWORD> ScreenPixels(HWND window, SIZE size) {
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  const win32::UniqueScreenDc screen(GetDC(nullptr));
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const win32::Unique<HBITMAP, win32::GdiCloser> bitmap(
      CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const std::unique_ptr<HDC__, BOOL(WINAPI*)(HDC)> memory(CreateCompatibleDC(screen.get()),
                                                          DeleteDC);
  if (!bits || !memory) return {};
  {
    const win32::SelectedObject selected(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, size.cx, size.cy, screen.get(), origin.x, origin.y, SRCCOPY);
  }
  const auto* first = static_cast<const DWORD*>(bits);
  return {first, first + static_cast<std::size_t>(size.cx) * size.cy};
}

}  // namespace

std::wstring BuiltFile(const wchar_t* variable, const std::wstring& name) {
  wchar_t dir[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(variable, dir, MAX_PATH)) {
    throw std::runtime_error("environment variable not set: " + Narrow(variable));
  }
  std::wstring path = dir;
  // A Unix path from the build: Wine shows the Unix root as drive Z.
  if (path.starts_with(L"/")) {
    for (wchar_t& c : path) {
      if (c == L'/') c = L'\\';
    }
    path = L"Z:" + path;
  }
  return path + L"\\" + name;
}

std::wstring QuorinExe() {
  return BuiltFile(L"QUORIN_BIN_DIR", L"Quorin.exe");
}

std::wstring ThisProgramDir() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir = path;
  return dir.substr(0, dir.find_last_of(L'\\'));
}

HWND FindWindowOf(DWORD processId, const wchar_t* className) {
  FindState state = {processId, className, nullptr};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&state));
  return state.found;
}

PROCESS_INFORMATION StartProcess(std::wstring commandLine, const wchar_t* folder,
                                 bool inheritHandles, STARTUPINFOW& startup) {
  PROCESS_INFORMATION info = {};
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, inheritHandles, 0, nullptr,
                       folder, &startup, &info)) {
      return info;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
      throw std::runtime_error("cannot start " + Narrow(commandLine) + ": error " +
                               std::to_string(error));
    }
    std::fprintf(stderr, "%s did not start (error %lu); starting it again\n",
                 Narrow(commandLine).c_str(), error);
  }
}

std::string RunConsole(const std::wstring& exe, const std::wstring& argument, DWORD& exitCode) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) throw std::runtime_error("cannot make a pipe");
  const win32::UniqueHandle reader(read);
  win32::UniqueHandle writer(write);
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  const PROCESS_INFORMATION info =
      StartProcess(L"\"" + exe + L"\" \"" + argument + L"\"", nullptr, true, startup);
  const win32::UniqueHandle process(info.hProcess), thread(info.hThread);
  writer.reset();  // the program's end of the pipe is all that keeps it open now
  std::string output;
  char chunk[256];
  DWORD got = 0;
  while (ReadFile(read, chunk, sizeof chunk, &got, nullptr) && got > 0) output.append(chunk, got);
  WaitForSingleObject(info.hProcess, 10000);
  exitCode = STILL_ACTIVE;
  GetExitCodeProcess(info.hProcess, &exitCode);
  return output;
}

int ScreenDpi() {
  const win32::UniqueScreenDc screen(GetDC(nullptr));
  return GetDeviceCaps(screen.get(), LOGPIXELSX);
}

void ProgramTest::SetUp() {
  const bool japanese = std::string(testing::UnitTest::GetInstance()->current_test_suite()->name())
                            .find("Japanese") != std::string::npos;
  ASSERT_EQ(GetACP(), japanese ? 932u : 1252u) << "run under the matching locale";
  // A window is kept within the screen's width and its frame: where Wine reports another
  // screen than the display's (a window once stopped at 1036 pixels, as a screen 1024 wide
  // keeps it), widths cannot be compared. Wine may learn the display late in a fresh server:
  // the program starts once the screen is the display's (KV_SCREEN, as the display was made).
  char screen[32] = {};
  int width = 0, height = 0;
  if (!GetEnvironmentVariableA("KV_SCREEN", screen, sizeof screen) ||
      std::sscanf(screen, "%dx%d", &width, &height) != 2) {
    return;
  }
  const auto size = [] {
    return std::to_string(GetSystemMetrics(SM_CXVIRTUALSCREEN)) + "x" +
           std::to_string(GetSystemMetrics(SM_CYVIRTUALSCREEN));
  };
  const std::string display = std::to_string(width) + "x" + std::to_string(height);
  for (int i = 0; i < 100 && size() != display; ++i) Sleep(100);
  ASSERT_EQ(size(), display) << "the screen Wine reports is not the display's";
}

ProgramRun& ProgramTest::Launch(const TestFolder& folder) {
  folder.Copy(QuorinExe(), L"Quorin.exe");
  run_ = std::make_unique<ProgramRun>(folder / L"Quorin.exe", folder.path());
  return *run_;
}

void ProgramTest::PutLibrary(const std::string& script, const wchar_t* dll) {
  folder_.Copy(ThisProgramDir() + L"\\" + dll, L"TOVRAMIX.DLL");
  folder_.Write(L"TOVRAMIX.ini", script);
}

ProgramRun& ProgramTest::StartShown(const std::string& screen) {
  folder_.Write(L"Quorin.ini", "[Screen]\r\n" + screen);
  ProgramRun& run = Launch(folder_);
  EXPECT_EQ(run.Wait(), ProgramRun::Outcome::kWindow);
  return run;
}

TestFolder::TestFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  static int serial = 0;
  path_ = std::wstring(temp) + L"quorin-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++serial);
  CreateDirectoryW(path_.c_str(), nullptr);
}

TestFolder::~TestFolder() {
  WIN32_FIND_DATAW found;
  const auto find = win32::AdoptFind(FindFirstFileW((path_ + L"\\*").c_str(), &found));
  if (find) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = *this / name;
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(full.c_str());
      } else {
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(find.get(), &found));
  }
  RemoveDirectoryW(path_.c_str());
}

void TestFolder::Write(const std::wstring& name, const std::string& bytes) const {
  const win32::UniqueHandle file(CreateFileW((*this / name).c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file.get() == INVALID_HANDLE_VALUE ||
      !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    throw std::runtime_error("cannot write " + Narrow(name));
  }
}

void TestFolder::Copy(const std::wstring& from, const std::wstring& name) const {
  if (!CopyFileW(from.c_str(), (*this / name).c_str(), FALSE)) {
    throw std::runtime_error("cannot copy " + Narrow(from));
  }
}

ProgramRun::ProgramRun(const std::wstring& exe, const std::wstring& folder) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  const PROCESS_INFORMATION info =
      StartProcess(L"\"" + exe + L"\"", folder.c_str(), false, startup);
  CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  processId_ = info.dwProcessId;
}

ProgramRun::~ProgramRun() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
  }
}

ProgramRun::Outcome ProgramRun::Wait(DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < deadline) {
    if ((window_ = FindWindowOf(processId_, L"FormKVInfo"))) return Outcome::kWindow;
    if ((box_ = FindWindowOf(processId_, L"#32770"))) return Outcome::kMessageBox;
    if (WaitForSingleObject(process_.get(), 20) == WAIT_OBJECT_0) return Outcome::kExited;
  }
  return Outcome::kTimeout;
}

DWORD ProgramRun::WaitExit(DWORD timeoutMs) {
  WaitForSingleObject(process_.get(), timeoutMs);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

std::wstring ProgramRun::Caption() const {
  return TextOf(window_);
}

std::wstring ProgramRun::LabelText(Label label) const {
  return TextOf(GetDlgItem(window_, static_cast<int>(label)));
}

RECT ProgramRun::LabelRect(Label label) const {
  RECT rect = {};
  GetWindowRect(GetDlgItem(window_, static_cast<int>(label)), &rect);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

SIZE ProgramRun::ClientSize() const {
  RECT rect;
  GetClientRect(window_, &rect);
  return {rect.right, rect.bottom};
}

RECT ProgramRun::WindowRect() const {
  RECT rect;
  GetWindowRect(window_, &rect);
  return rect;
}

void ProgramRun::Hook(HWND target) {
  const DWORD thread = GetWindowThreadProcessId(target, nullptr);
  if (hook_ && hookedThread_ == thread) return;
  if (!probe_) probe_.reset(LoadLibraryW((ThisProgramDir() + L"\\probe.dll").c_str()));
  const auto proc = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void (*)()>(GetProcAddress(probe_.get(), "ProbeHook")));
  hook_ = SetWindowsHookExW(WH_GETMESSAGE, proc, probe_.get(), thread);
  if (!hook_) throw std::runtime_error("cannot hook the program");
  hookedThread_ = thread;
}

std::vector<BYTE> ProgramRun::Ask(HWND target, const wchar_t* question, probe::Reply kind,
                                  WPARAM argument) {
  Hook(target);
  ReplyWindow reply;
  PostMessageW(target, RegisterWindowMessageW(question), argument,
               reinterpret_cast<LPARAM>(reply.hwnd.get()));
  const ULONGLONG deadline = GetTickCount64() + 10000;
  while (reply.kind != kind && GetTickCount64() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  if (reply.kind != kind) throw std::runtime_error("the probe did not answer");
  return reply.data;
}

LOGFONTW ProgramRun::LabelFont(Label label) {
  const std::vector<BYTE> data =
      Ask(GetDlgItem(window_, static_cast<int>(label)), probe::kAskFont, probe::kFontReply);
  LOGFONTW font = {};
  memcpy(&font, data.data(), std::min(data.size(), sizeof font));
  return font;
}

int ProgramRun::TextWidth(Label label, bool withBlanksAtEnd) {
  const LOGFONTW font = LabelFont(label);
  const win32::UniqueFont handle(CreateFontIndirectW(&font));
  const win32::UniqueScreenDc dc(GetDC(nullptr));
  const win32::SelectedObject selected(dc.get(), handle.get());
  std::wstring text = LabelText(label);
  if (!withBlanksAtEnd) text.erase(text.find_last_not_of(L" \u3000") + 1);
  RECT extent = {};
  DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent,
            DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return text.empty() ? 0 : extent.right;
}

bool ProgramRun::EndsInEllipsis(Label label) const {
  return GetWindowLongW(GetDlgItem(window_, static_cast<int>(label)), GWL_STYLE) & SS_ENDELLIPSIS;
}

void ProgramRun::SetLabelText(Label label, const std::wstring& text) const {
  SetWindowTextW(GetDlgItem(window_, static_cast<int>(label)), text.c_str());
}

std::vector<DWORD> ProgramRun::ClientPixels() const {
  RedrawWindow(window_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // The display shows what the program drew in its own time: until two looks agree.
  std::vector<DWORD> last, now = ScreenPixels(window_, ClientSize());
  for (int i = 0; i < 25 && (now.empty() || now != last); ++i) {
    Sleep(200);
    last = std::move(now);
    now = ScreenPixels(window_, ClientSize());
  }
  return now;
}

probe::BoxAnswer ProgramRun::AskBox() {
  const std::vector<BYTE> data = Ask(box_, probe::kAskBox, probe::kBoxReply);
  probe::BoxAnswer answer = {};
  memcpy(&answer, data.data(), std::min(data.size(), sizeof answer));
  return answer;
}

UINT ProgramRun::ErrorMode() {
  const std::vector<BYTE> data = Ask(window_, probe::kAskErrorMode, probe::kErrorModeReply);
  UINT mode = 0;
  memcpy(&mode, data.data(), std::min(data.size(), sizeof mode));
  return mode;
}

probe::FontCounts ProgramRun::Fonts() {
  const std::vector<BYTE> data = Ask(window_, probe::kAskFonts, probe::kFontsReply);
  probe::FontCounts counts = {};
  memcpy(&counts, data.data(), std::min(data.size(), sizeof counts));
  return counts;
}

void ProgramRun::ChangeDpi(int newDpi, int oldDpi) {
  Ask(window_, probe::kAskDpiChange, probe::kDpiChangedReply, MAKEWPARAM(newDpi, oldDpi));
}

void ProgramRun::PressChord(const std::vector<WORD>& keys) {
  // Keys go to the foreground window: wait until the program's window is it.
  for (int i = 0; i < 100 && GetForegroundWindow() != window_; ++i) {
    SetForegroundWindow(window_);
    Sleep(20);
  }
  std::vector<INPUT> inputs;
  const auto add = [&](WORD key, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    inputs.push_back(input);
  };
  for (const WORD key : keys) add(key, 0);
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) add(*key, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring ProgramRun::CopyWithCtrlC() {
  return CopyFromMenu([&] { PressChord({VK_CONTROL, 'C'}); }, {});
}

void ProgramRun::RightClick(Label label) {
  const RECT rect = LabelRect(label);
  RightClick({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void ProgramRun::RightClick(POINT client) {
  ClientToScreen(window_, &client);
  // The pointer there before the click, and the program told of its move.
  POINT at = {};
  for (int i = 0; i < 50 && (!GetCursorPos(&at) || at.x != client.x || at.y != client.y); ++i) {
    SetCursorPos(client.x, client.y);
    Sleep(20);
  }
  Sleep(100);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

std::wstring ProgramRun::CopyFromMenu(const std::function<void()>& open,
                                      const std::vector<WORD>& choose,
                                      std::vector<std::wstring>* items) {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  open();
  if (!choose.empty()) {
    for (int i = 0; i < 250 && !FindWindowOf(processId_, L"#32768"); ++i) Sleep(20);
    if (items) {
      const std::vector<BYTE> data = Ask(window_, probe::kAskMenu, probe::kMenuReply);
      std::wstring all(reinterpret_cast<const wchar_t*>(data.data()),
                       data.size() / sizeof(wchar_t));
      for (std::size_t end; (end = all.find(L'\n')) != std::wstring::npos; all.erase(0, end + 1)) {
        items->push_back(all.substr(0, end));
      }
    }
    for (const WORD key : choose) PressChord({key});
  }
  std::wstring text;
  for (int i = 0; i < 250 && text.empty(); ++i) {
    Sleep(20);
    text = ClipboardText();
  }
  return text;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = locked;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool ProgramRun::WaitForBox(DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  do {
    if ((box_ = FindWindowOf(processId_, L"#32770"))) return true;
    Sleep(20);
  } while (GetTickCount64() < deadline);
  return false;
}

std::wstring ProgramRun::BoxText() const {
  return TextOf(GetDlgItem(box_, 0xFFFF));
}

std::wstring ProgramRun::BoxTitle() const {
  return TextOf(box_);
}

void ProgramRun::CloseBox() {
  PostMessageW(GetDlgItem(box_, IDOK), BM_CLICK, 0, 0);
}

void ProgramRun::CloseWindow() {
  PostMessageW(window_, WM_CLOSE, 0, 0);
}

}  // namespace kv::test
