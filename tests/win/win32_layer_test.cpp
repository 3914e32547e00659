// The Win32 layer in-process: the real window and labels, and the platform services.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "core/app_error.h"
#include "harness.h"
#include "win32/identity_library.h"
#include "win32/win32_platform.h"
#include "win32/win32_window.h"

namespace kv::win32 {
namespace {

LOGFONTW FontOf(HWND label) {
  LOGFONTW font = {};
  GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

RECT RectIn(HWND parent, HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int Pixels(int twips) {
  return static_cast<int>(std::lround(twips * 96 / 1440.0));
}

int ErrorCodeOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const AppError& e) {
    return e.code();
  }
  return 0;
}

class Window : public testing::Test {
 protected:
  Win32Window form{GetModuleHandleW(nullptr)};
};

// The sixteen labels as the layout gives them: control number, design text, left, top,
// width and height in twips, and whether the text ends at the right edge.
struct DesignRow {
  int id;
  const wchar_t* text;
  int left, top, width, height;
  bool right;
};
constexpr DesignRow kDesign[] = {
    {1, L"ServiceID #", 2880, 2640, 2175, 375, false},
    {2, L"Service ID #: ", 0, 2640, 2535, 375, true},
    {3, L"Software BOM #", 2880, 2280, 2175, 375, false},
    {4, L"Hardware BOM #", 2880, 1920, 2175, 375, false},
    {5, L"Software BOM #: ", 0, 2280, 2535, 375, true},
    {6, L"Hardware BOM #: ", 0, 1920, 2535, 375, true},
    {7, L"Product#", 2880, 840, 3015, 375, false},
    {8, L"Product #: ", 0, 840, 2535, 375, true},
    {9, L"Software Build #", 2880, 1560, 3255, 375, false},
    {10, L"Software Build #: ", 0, 1560, 2535, 495, true},
    {11, L"SupportID", 2880, 120, 1350, 285, false},
    {12, L"Model#", 2880, 480, 2175, 375, false},
    {13, L"Support ID #: ", 0, 120, 2535, 375, true},
    {14, L"Model #: ", 0, 480, 2535, 375, true},
    {15, L"Serial #: ", 0, 1200, 2535, 375, true},
    {16, L"Serial#", 2880, 1200, 2175, 375, false},
};

TEST_F(Window, HasItsSixteenLabelsInOrderWithTheirDesignValues) {
  EXPECT_EQ(form.Caption(), L"KV Solvane Support Information");
  HWND child = GetWindow(form.hwnd(), GW_CHILD);
  for (const DesignRow& d : kDesign) {
    SCOPED_TRACE(testing::Message() << "label " << d.id);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetDlgCtrlID(child), d.id);
    wchar_t text[64] = {};
    GetWindowTextW(child, text, 64);
    EXPECT_STREQ(text, d.text);
    const RECT rect = RectIn(form.hwnd(), child);
    EXPECT_EQ(rect.left, Pixels(d.left));
    EXPECT_EQ(rect.top, Pixels(d.top));
    EXPECT_EQ(rect.right - rect.left, Pixels(d.width));
    EXPECT_EQ(rect.bottom - rect.top, Pixels(d.height));
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    EXPECT_EQ(style & SS_TYPEMASK, d.right ? SS_RIGHT : SS_LEFT);
    EXPECT_TRUE(style & SS_NOPREFIX);
    const LOGFONTW font = FontOf(child);
    EXPECT_STREQ(font.lfFaceName, L"MS Gothic");
    EXPECT_EQ(font.lfHeight, -19);  // 14.25 points at 96 dots per inch
    EXPECT_EQ(font.lfCharSet, 128);
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr);
}

// Whether a label's font was still alive when the label went, one entry per label.
std::vector<bool> fontsAliveAtLabelEnd;

LRESULT CALLBACK WatchLabelEnd(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == WM_DESTROY &&
      GetWindowLongW(message->hwnd, GWL_STYLE) & WS_CHILD) {
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(message->hwnd, WM_GETFONT, 0, 0));
    fontsAliveAtLabelEnd.push_back(GetObjectType(font) == OBJ_FONT);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(WindowEnd, LabelsGoBeforeTheFontsTheyDrawWith) {
  const HHOOK hook =
      SetWindowsHookExW(WH_CALLWNDPROC, WatchLabelEnd, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  {
    Win32Window form(GetModuleHandleW(nullptr));
    form.SetLabelFontName(Label::LabelModel, L"Arial");
  }
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(fontsAliveAtLabelEnd, std::vector<bool>(kLabelCount, true));
}

TEST_F(Window, FontNameAndSizeChangeAloneKeepingTheOtherAttributes) {
  form.SetLabelFontName(Label::LabelModel, L"Arial");
  form.SetLabelFontSize(Label::LabelModel, 14.0f);
  const LOGFONTW font = FontOf(GetDlgItem(form.hwnd(), static_cast<int>(Label::LabelModel)));
  EXPECT_STREQ(font.lfFaceName, L"Arial");
  EXPECT_EQ(font.lfHeight, -19);  // 18.67 pixels
  EXPECT_EQ(font.lfCharSet, 128);
  EXPECT_EQ(font.lfWeight, 400);
  EXPECT_EQ(form.LabelFontName(Label::LabelModel), L"Arial");
  form.SetLabelFontSize(Label::LabelModel, 30.0f);
  EXPECT_EQ(FontOf(GetDlgItem(form.hwnd(), static_cast<int>(Label::LabelModel))).lfHeight, -40);
}

TEST_F(Window, RefusedFontValuesRaise380) {
  for (const float size : {0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN(), 1e9f}) {
    EXPECT_EQ(ErrorCodeOf([&] { form.SetLabelFontSize(Label::LabelBOD, size); }), 380);
  }
  EXPECT_EQ(ErrorCodeOf([&] { form.SetLabelFontName(Label::LabelBOD, L""); }), 380);
  EXPECT_EQ(form.LabelFontName(Label::LabelBOD), L"MS Gothic");
}

int OuterWidth(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect.right - rect.left;
}

TEST_F(Window, WidthIsTheOuterWidthInTwipsTakenWhenTheWindowFirstShows) {
  const int design = OuterWidth(form.hwnd());
  form.SetWidth(WidthRule::Twips(9000));
  EXPECT_FLOAT_EQ(form.Width(), 9000);
  EXPECT_EQ(OuterWidth(form.hwnd()), design);
  form.Show(SW_SHOWNOACTIVATE);
  EXPECT_EQ(OuterWidth(form.hwnd()), 600);
  EXPECT_FLOAT_EQ(form.Width(), 9000);
  RECT rect;
  GetWindowRect(form.hwnd(), &rect);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 600) / 2);

  form.SetWidth(WidthRule::Twips(7500));
  EXPECT_EQ(OuterWidth(form.hwnd()), 500);
}

TEST_F(Window, AWidthBeyondTheScreenIsCentredAsTheSystemKeepsIt) {
  form.SetWidth(WidthRule::Twips(15.0f * 30000));
  form.Show(SW_SHOWNOACTIVATE);
  RECT rect;
  GetWindowRect(form.hwnd(), &rect);
  EXPECT_LT(rect.right - rect.left, 30000);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2);
}

TEST_F(Window, RefusedWidthsRaise380AndLeaveTheWidth) {
  const float before = form.Width();
  for (const float twips : {0.0f, -1.0f, 3.0f, std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN(), 9999999999.0f}) {
    SCOPED_TRACE(twips);
    EXPECT_EQ(ErrorCodeOf([&] { form.SetWidth(WidthRule::Twips(twips)); }), 380);
    EXPECT_EQ(form.Width(), before);
  }
}

// The support ID label fits its text; another value label keeps its design box while its
// text fits there, and grows to the right on one line where it does not.
TEST_F(Window, ValueLabelsGrowToTheRightForTextsTooWideForThem) {
  const HWND fitting = GetDlgItem(form.hwnd(), static_cast<int>(Label::LabelSupportIDContent));
  const HWND model = GetDlgItem(form.hwnd(), static_cast<int>(Label::LabelModelContent));
  const std::wstring longText(40, L'W');
  form.SetWidth(WidthRule::Twips(15000));  // room for all of it
  form.SetLabelText(Label::LabelSupportIDContent, longText);
  form.SetLabelText(Label::LabelModelContent, longText);
  // Hidden, the labels take their places when the window first shows; the width is known before.
  const float fitted = form.LabelWidth(Label::LabelSupportIDContent);
  EXPECT_EQ(RectIn(form.hwnd(), fitting).right - RectIn(form.hwnd(), fitting).left, Pixels(1350));
  form.Show(SW_SHOWNOACTIVATE);
  for (const HWND label : {fitting, model}) {
    const RECT grown = RectIn(form.hwnd(), label);
    EXPECT_EQ(grown.left, Pixels(2880));
    EXPECT_GT(grown.right - grown.left, Pixels(2175));
    EXPECT_FLOAT_EQ(fitted, (grown.right - grown.left) * 15.0f);
    EXPECT_LT(grown.bottom - grown.top, Pixels(375));
  }
  const RECT grown = RectIn(form.hwnd(), fitting);
  EXPECT_EQ(grown.top, Pixels(120));
  EXPECT_FLOAT_EQ(form.LabelWidth(Label::LabelSupportIDContent), fitted);
  form.SetLabelText(Label::LabelSupportIDContent, L"ab");
  EXPECT_LT(RectIn(form.hwnd(), fitting).right - RectIn(form.hwnd(), fitting).left,
            grown.right - grown.left);

  form.SetLabelText(Label::LabelModelContent, L"ab");
  const RECT design = RectIn(form.hwnd(), model);
  EXPECT_EQ(design.top, Pixels(480));
  EXPECT_EQ(design.right - design.left, Pixels(2175));
  EXPECT_EQ(design.bottom - design.top, Pixels(375));
}

// A window that is gone gives no width made up of whatever memory held: the step fails.
TEST_F(Window, GoneWindowGivesNoWidth) {
  DestroyWindow(form.hwnd());
  EXPECT_EQ(ErrorCodeOf([&] { form.Width(); }), kInternalError);
  EXPECT_EQ(ErrorCodeOf([&] { form.LabelWidth(Label::LabelModelContent); }), kInternalError);
}

TEST_F(Window, NulEndsTheVisibleText) {
  form.SetLabelText(Label::LabelBODContent, std::wstring(L"ABD-E\0 ", 7));
  wchar_t text[16] = {};
  GetWindowTextW(GetDlgItem(form.hwnd(), static_cast<int>(Label::LabelBODContent)), text, 16);
  EXPECT_STREQ(text, L"ABD-E");
}

class Platform : public testing::Test {
 protected:
  test::TestFolder folder;
  Win32Platform platform{nullptr, L"Quorin"};
};

struct LookupCase {
  const char* what;
  const wchar_t* stored;
  DWORD attributes;  // 0: a directory
  const wchar_t* found;
};

class FileLookup : public Platform, public testing::WithParamInterface<LookupCase> {};

TEST_P(FileLookup, FindsOrdinaryFilesOnlyUnderTheirStoredName) {
  const LookupCase& c = GetParam();
  if (c.attributes == 0) {
    CreateDirectoryW((folder / c.stored).c_str(), nullptr);
  } else {
    folder.Write(c.stored, "x");
    SetFileAttributesW((folder / c.stored).c_str(), c.attributes);
  }
  EXPECT_EQ(platform.FindFileName(folder / L"Quorin.ini"), c.found);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileLookup,
    testing::Values(LookupCase{"normal", L"Quorin.ini", FILE_ATTRIBUTE_NORMAL, L"Quorin.ini"},
                    LookupCase{"readonly", L"Quorin.ini", FILE_ATTRIBUTE_READONLY, L"Quorin.ini"},
                    LookupCase{"lower", L"quorin.INI", FILE_ATTRIBUTE_NORMAL, L"quorin.INI"},
                    LookupCase{"hidden", L"Quorin.ini", FILE_ATTRIBUTE_HIDDEN, L""},
                    LookupCase{"system", L"Quorin.ini", FILE_ATTRIBUTE_SYSTEM, L""},
                    LookupCase{"directory", L"Quorin.ini", 0, L""},
                    LookupCase{"other", L"Other.ini", FILE_ATTRIBUTE_NORMAL, L""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(Platform, MissingFolderIsNoFile) {
  EXPECT_EQ(platform.FindFileName(folder / L"none\\Quorin.ini"), L"");
}

TEST_F(Platform, ProfileReadFillsTheBufferInPlace) {
  folder.Write(L"s.ini", "[Screen]\r\nA=abc\r\nLong=" + std::string(120, 'L') + "\r\n");
  const std::wstring file = folder / L"s.ini";
  std::string buffer(105, ' ');
  EXPECT_EQ(platform.ReadProfileString(file, L"Screen", L"A", L"", buffer), 3u);
  EXPECT_EQ(buffer, "abc" + std::string(1, '\0') + std::string(101, ' '));

  buffer.assign(105, ' ');
  EXPECT_EQ(platform.ReadProfileString(file, L"Screen", L"Long", L"", buffer), 104u);
  EXPECT_EQ(buffer, std::string(104, 'L') + std::string(1, '\0'));

  buffer.assign(105, ' ');
  EXPECT_EQ(platform.ReadProfileString(file, L"Screen", L"None", L"Unknown", buffer), 7u);
  EXPECT_EQ(buffer.substr(0, 8), std::string("Unknown\0", 8));

  buffer.assign(105, ' ');
  EXPECT_EQ(platform.ReadProfileString(folder / L"no.ini", L"S", L"K", L"", buffer), 0u);
  EXPECT_EQ(buffer[0], '\0');
}

// Run under ja_JP.UTF-8: code page 932.
TEST(JapaneseCodePage, LoneLeadByteIsDroppedNotShownAsAStandIn) {
  ASSERT_EQ(GetACP(), 932u);
  const Win32Platform platform(nullptr, L"Quorin");
  EXPECT_EQ(platform.FromAnsi("AB\x82"), L"AB");
  EXPECT_EQ(platform.FromAnsi(std::string("AB\x82\0 ", 5)), std::wstring(L"AB\0 ", 4));
  EXPECT_EQ(platform.FromAnsi("A\x82\xA0"), L"A\u3042");
  EXPECT_EQ(platform.FromAnsi("A\x82 B"), L"A B");  // the fill behind a value
  EXPECT_EQ(platform.ToFullWidth(L"Support Info"),
            L"\uFF33\uFF55\uFF50\uFF50\uFF4F\uFF52\uFF54\u3000\uFF29\uFF4E\uFF46\uFF4F");
}

// The wide read hands the value over as the ANSI read would: bytes of code page 932, whole
// characters up to 104 bytes, and a count of bytes.
TEST(JapaneseCodePage, ProfileReadCountsBytesAndKeepsCharactersWhole) {
  ASSERT_EQ(GetACP(), 932u);
  const std::string kana = "\x82\xA0";  // one character, two bytes
  std::string wide;
  for (int i = 0; i < 60; ++i) wide += kana;
  test::TestFolder folder;
  folder.Write(L"s.ini",
               "[Screen]\r\nMixed=" + std::string(103, 'A') + kana + "\r\nWide=" + wide + "\r\n");
  Win32Platform platform(nullptr, L"Quorin");
  std::string buffer(105, ' ');
  EXPECT_EQ(platform.ReadProfileString(folder / L"s.ini", L"Screen", L"Mixed", L"", buffer), 103u);
  EXPECT_EQ(buffer, std::string(103, 'A') + std::string(1, '\0') + " ");
  buffer.assign(105, ' ');
  EXPECT_EQ(platform.ReadProfileString(folder / L"s.ini", L"Screen", L"Wide", L"", buffer), 104u);
  EXPECT_EQ(buffer, wide.substr(0, 104) + std::string(1, '\0'));
}

TEST_F(Platform, FullWidthNeedsADoubleByteCodePage) {
  ASSERT_EQ(GetACP(), 1252u);
  EXPECT_EQ(ErrorCodeOf([&] { platform.ToFullWidth(L"abc"); }), 5);
  EXPECT_EQ(ErrorCodeOf([&] { platform.ToFullWidth(L""); }), 5);
}

// Another program holds the clipboard: the copy waits a moment for it, then gives up.
TEST_F(Platform, ClipboardHeldElsewhereIsWaitedForBriefly) {
  for (const DWORD heldMs : {2000, 60}) {
    SCOPED_TRACE(heldMs);
    const UniqueHandle opened(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
      const UniqueWindow other(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                               nullptr, nullptr, nullptr));
      OpenClipboard(other.get());
      SetEvent(opened.get());
      Sleep(heldMs);
      CloseClipboard();
    });
    WaitForSingleObject(opened.get(), INFINITE);
    const ULONGLONG start = GetTickCount64();
    const std::wstring text = L"held for " + std::to_wstring(heldMs);
    platform.PutOnClipboard(text);
    const ULONGLONG waited = GetTickCount64() - start;
    holder.join();
    EXPECT_EQ(test::ClipboardText() == text, heldMs < 100);
    EXPECT_LT(waited, 1000u);
  }
}

// This test program carries the program's version record, built for version 7.8.9.
TEST_F(Platform, VersionNumbersComeBackFromTheFieldsTheRecordWroteThemTo) {
  const ProgramVersion version = platform.Version();
  EXPECT_EQ(version.major, 7);
  EXPECT_EQ(version.minor, 8);
  EXPECT_EQ(version.revision, 9);
}

TEST_F(Platform, SecondInstanceIsSeen) {
  Win32Platform second(nullptr, L"Quorin");
  EXPECT_FALSE(platform.OtherInstanceRunning());
  EXPECT_TRUE(second.OtherInstanceRunning());
}

// Where the search order cannot be trusted to leave out the current folder, the library is
// never loaded: its fields keep their design texts, as without one.
TEST(LibraryLoading, AnUntrustedSearchLoadsNothing) {
  const std::wstring dll = test::BuiltFile(L"TOVRAMIX_DIR", L"TOVRAMIX.DLL");
  DllIdentityLibrary trusted(dll, true), untrusted(dll, false);
  std::string build(10, ' ');
  EXPECT_EQ(trusted.GetHardDiskBuildId(build), 0);
  EXPECT_EQ(ErrorCodeOf([&] { untrusted.GetHardDiskBuildId(build); }), kLibraryNotFound);
}

}  // namespace
}  // namespace kv::win32
