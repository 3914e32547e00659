#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ports.h"
#include "probe.h"
#include "win32/handles.h"

namespace kv::test {

// The labels as the tests name them: the window's own numbering.
using enum Label;

// The Windows path of a file that the build left beside the test's Unix-side paths.
std::wstring BuiltFile(const wchar_t* variable, const std::wstring& name);
std::wstring QuorinExe();
std::wstring ThisProgramDir();

// A fresh folder under %TEMP% that goes away with the object.
class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
  void Write(const std::wstring& name, const std::string& bytes) const;
  void Copy(const std::wstring& from, const std::wstring& name) const;

 private:
  std::wstring path_;
};

// One run of a program under test, with the probe hooked into its user-interface thread.
class ProgramRun {
 public:
  enum class Outcome { kWindow, kMessageBox, kExited, kTimeout };

  // The program inherits the Unix locale, and with it the ANSI code page, of this test.
  ProgramRun(const std::wstring& exe, const std::wstring& folder);
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // Waits until the window shows, a message box shows, or the program ends.
  Outcome Wait(DWORD timeoutMs = 30000);
  // Waits for the program to end; its exit code, or STILL_ACTIVE on timeout.
  DWORD WaitExit(DWORD timeoutMs = 30000);

  HWND window() const { return window_; }
  HWND box() const { return box_; }
  DWORD processId() const { return processId_; }

  std::wstring Caption() const;
  std::wstring LabelText(Label label) const;
  RECT LabelRect(Label label) const;  // in the window's client pixels
  SIZE ClientSize() const;
  RECT WindowRect() const;
  LOGFONTW LabelFont(Label label);
  // The width of a label's text on one line in the label's font, measured here: without the
  // blanks at its end, or with them.
  int TextWidth(Label label, bool withBlanksAtEnd = false);
  // Whether a label's text is cut where it ends, with an ellipsis.
  bool EndsInEllipsis(Label label) const;
  // Gives a label another text from outside, as the program would give it.
  void SetLabelText(Label label, const std::wstring& text) const;
  // The client area's pixels as the screen shows them once the window has drawn itself anew.
  std::vector<DWORD> ClientPixels() const;
  probe::BoxAnswer AskBox();
  UINT ErrorMode();  // the program's, as SetErrorMode left it
  // The fonts the program created and deleted since the first call, which starts counting.
  probe::FontCounts Fonts();
  // Tells the window that it is now on a monitor of another DPI, as Windows does.
  void ChangeDpi(int newDpi, int oldDpi);
  // Presses the keys in order with the window in front, then releases them.
  void PressChord(const std::vector<WORD>& keys);
  // Empties the clipboard, presses Ctrl+C and waits for the text the program puts there.
  std::wstring CopyWithCtrlC();
  // Moves the mouse to the middle of a label, or to a point of the client area, and clicks its
  // right button there.
  void RightClick(Label label);
  void RightClick(POINT client);
  // Empties the clipboard, opens a menu as open does, presses the keys that choose an item, one
  // after the other, and waits for the text the program puts on the clipboard; the menu's items
  // as it showed them go to items.
  std::wstring CopyFromMenu(const std::function<void()>& open, const std::vector<WORD>& choose,
                            std::vector<std::wstring>* items = nullptr);
  // Waits for a message box of the program; false when none shows in time.
  bool WaitForBox(DWORD timeoutMs);
  std::wstring BoxText() const;
  std::wstring BoxTitle() const;
  void CloseBox();
  void CloseWindow();

 private:
  void Hook(HWND target);
  std::vector<BYTE> Ask(HWND target, const wchar_t* question, probe::Reply kind,
                        WPARAM argument = 0);

  win32::UniqueHandle process_;
  DWORD processId_ = 0;
  HWND window_ = nullptr;
  HWND box_ = nullptr;
  HHOOK hook_ = nullptr;
  DWORD hookedThread_ = 0;
  win32::UniqueModule probe_;
};

// Top-level visible windows of a process with the given class.
HWND FindWindowOf(DWORD processId, const wchar_t* className);

// The clipboard's text; empty where it holds none or cannot be opened.
std::wstring ClipboardText();

// The screen's dots per inch, as the prefix has it.
int ScreenDpi();

// Starts COMMANDLINE (its program first, quoted where it has blanks) in FOLDER, the caller's
// where null. Under load Wine now and then fails to start a process: the new one ends before it
// has started, and CreateProcessW says ERROR_INTERNAL_ERROR. Such a process never ran, so it is
// started again; any other failure, or this one three times, is thrown with its code.
PROCESS_INFORMATION StartProcess(std::wstring commandLine, const wchar_t* folder,
                                 bool inheritHandles, STARTUPINFOW& startup);

// Runs a console program with one argument; what it wrote to standard output, and its exit
// code.
std::string RunConsole(const std::wstring& exe, const std::wstring& argument, DWORD& exitCode);

// A test that starts the program in a folder of its own. The program runs in the code page
// of the test's locale: suites named Japanese run under ja_JP.UTF-8 (code page 932,
// double-byte support), the others under C (1252, none).
class ProgramTest : public testing::Test {
 protected:
  void SetUp() override;
  // Puts the program in the folder and starts it there.
  ProgramRun& Launch(const TestFolder& folder);
  // Starts it with these lines in section Screen of its settings, and waits for its window.
  ProgramRun& StartShown(const std::string& screen);
  // Puts the scripted firmware library, or its variant, beside the program, with its script.
  void PutLibrary(const std::string& script, const wchar_t* dll = L"tovramix_double.dll");

  TestFolder folder_;
  std::unique_ptr<ProgramRun> run_;
};

}  // namespace kv::test
