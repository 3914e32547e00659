// The version key chord on the real program, with keys sent as a user types them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "harness.h"
#include "scenario.h"

namespace kv::test {
namespace {

const std::wstring kVersionText = std::wstring(18, L' ') + L"Version " + KV_PROJECT_VERSION;

class HotKey : public ProgramTest {
 protected:
  ProgramRun& Start(const std::string& screen) { return StartShown(screen); }
};

TEST_F(HotKey, CtrlShiftBShowsTheVersionTitledWithTheWindowTitle) {
  ProgramRun& run = Start("WindowTitle=Support Info\r\n");
  run.PressChord({VK_CONTROL, VK_SHIFT, 'B'});
  ASSERT_TRUE(run.WaitForBox(5000));
  EXPECT_EQ(run.BoxText(), kVersionText);
  EXPECT_EQ(run.BoxTitle(), L"Support Info");
  EXPECT_FALSE(run.AskBox().hasAnyIcon);
  EXPECT_EQ(GetDlgItem(run.box(), IDCANCEL), nullptr);
  run.CloseBox();
  // Still running after the box; closing the window ends it.
  Sleep(300);
  EXPECT_EQ(FindWindowOf(run.processId(), L"FormKVInfo"), run.window());
  run.CloseWindow();
  EXPECT_EQ(run.WaitExit(), 0u);
}

TEST_F(HotKey, BoxCarriesTheDesignTitleWhenTheWindowKeptIt) {
  // No double-byte support here: the title's conversion fails and the design title stays.
  ProgramRun& run = Start("WindowTitle=Ignored\r\nUseDB=true\r\n");
  run.PressChord({VK_SHIFT, VK_CONTROL, 'B'});
  ASSERT_TRUE(run.WaitForBox(5000));
  EXPECT_EQ(run.BoxTitle(), L"KV Solvane Support Information");
  EXPECT_EQ(run.BoxText(), kVersionText);
}

// The box each time the chord is pressed, with Caps Lock on: the modifiers are read as held
// at that moment, not as toggled, and Caps Lock, which changes the letter typed but not the
// key, makes no difference.
TEST_F(HotKey, ShowsTheBoxEachTimeWithCapsLockOn) {
  ProgramRun& run = Start("WindowTitle=Again\r\n");
  run.PressChord({VK_CAPITAL});
  bool shown = true;
  for (int time = 0; time < 2 && shown; ++time) {
    run.PressChord({VK_CONTROL, VK_SHIFT, 'B'});
    shown = run.WaitForBox(5000);
    if (shown) run.CloseBox();
    for (int i = 0; i < 100 && shown && FindWindowOf(run.processId(), L"#32770"); ++i) Sleep(20);
  }
  run.PressChord({VK_CAPITAL});
  EXPECT_TRUE(shown);
}

// Without our library and the data file: the captions from the settings, the values' design
// texts and the service ID's "Unknown", as the window shows them.
TEST_F(HotKey, CtrlCCopiesTheWindowAsItShows) {
  ProgramRun& run = Start("WindowTitle=Support Info\r\nText3=Support ID #:\r\nText1=Model:\r\n");
  EXPECT_EQ(run.CopyWithCtrlC(),
            L"Support Info\r\n"
            L"Support ID #:\tSupportID\r\n"
            L"Model:\tModel#\r\n"
            L"\tProduct#\r\n"
            L"\tSerial#\r\n"
            L"\tSoftware Build #\r\n"
            L"\tHardware BOM #\r\n"
            L"\tSoftware BOM #\r\n"
            L"\tUnknown\r\n");
  EXPECT_EQ(FindWindowOf(run.processId(), L"#32770"), nullptr);
  EXPECT_EQ(run.Caption(), L"Support Info");
}

TEST_F(HotKey, OtherChordsShowNothing) {
  ProgramRun& run = Start("WindowTitle=Quiet\r\n");
  const std::vector<std::vector<WORD>> chords = {{VK_CONTROL, 'B'},
                                                 {VK_SHIFT, 'B'},
                                                 {VK_CONTROL, VK_MENU, VK_SHIFT, 'B'},
                                                 {VK_CONTROL, VK_SHIFT, 'C'},
                                                 {'B'}};
  for (const auto& chord : chords) run.PressChord(chord);
  EXPECT_FALSE(run.WaitForBox(1500));
  EXPECT_EQ(run.Caption(), L"Quiet");
  // The keys did arrive: the chord that counts, sent after them, shows its box.
  run.PressChord({VK_CONTROL, VK_SHIFT, 'B'});
  EXPECT_TRUE(run.WaitForBox(5000));
}

// The copy menus driven as a user drives them: a right-click on the serial number's value,
// then "Copy value"; the keyboard's menu, then "Copy support ID"; the system menu's last item,
// "Copy all", against Ctrl+C. The items of the first menu go to items.
void ExpectMenusCopy(ProgramRun& run, const std::wstring& serial, const std::wstring& supportId,
                     std::vector<std::wstring>* items = nullptr) {
  EXPECT_EQ(
      run.CopyFromMenu([&] { run.RightClick(LabelSerialContent); }, {VK_DOWN, VK_RETURN}, items),
      serial);
  EXPECT_EQ(run.CopyFromMenu(
                [&] {
                  run.PressChord({VK_SHIFT, VK_F10});
                },
                {VK_DOWN, VK_RETURN}),
            supportId);
  const std::wstring all = run.CopyWithCtrlC();
  EXPECT_NE(all.find(supportId), std::wstring::npos);
  EXPECT_EQ(run.CopyFromMenu(
                [&] {
                  run.PressChord({VK_MENU, VK_SPACE});
                },
                {VK_UP, VK_RETURN}),
            all);
}

TEST_F(HotKey, MenusCopyAValueTheSupportIdOrAll) {
  PutLibrary(Script().Ini());
  ProgramRun& run = Start("WindowTitle=Menus\r\n");
  std::vector<std::wstring> items;
  ExpectMenusCopy(run, L"SER-42", L"SUPPORT-ID", &items);
  EXPECT_EQ(items, (std::vector<std::wstring>{L"Copy value", L"Copy support ID", L"",
                                              L"Copy all\tCtrl+C"}));
}

// Copy value takes the row under the pointer: on a caption, its row's value; where the software
// build's tall caption overlaps the hardware BOM's, the lower row's, whose text shows there.
TEST_F(HotKey, CopyValueTakesTheValueOfTheRowUnderThePointer) {
  PutLibrary(Script().Ini());
  ProgramRun& run = Start("WindowTitle=Rows\r\nText1=Model:\r\nText4=Build:\r\n");
  const auto copyValueAt = [&](const RECT& area) {
    const POINT middle = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    return run.CopyFromMenu([&] { run.RightClick(middle); }, {VK_DOWN, VK_RETURN});
  };
  EXPECT_EQ(copyValueAt(run.LabelRect(LabelModel)), L"MODEL-7");
  RECT overlap = {};
  const RECT build = run.LabelRect(LabelSWBuild), bom = run.LabelRect(LabelHWBOM);
  ASSERT_TRUE(IntersectRect(&overlap, &build, &bom));
  EXPECT_EQ(copyValueAt(overlap), L"HW1");
}

TEST_F(HotKey, SystemMenuItemIsInTheTextOfTheSettings) {
  ProgramRun& run = Start("WindowTitle=Menus\r\n[Menu]\r\nCopyAll=Everything\r\n");
  const std::wstring all = run.CopyWithCtrlC();
  std::vector<std::wstring> items;
  EXPECT_EQ(run.CopyFromMenu(
                [&] {
                  run.PressChord({VK_MENU, VK_SPACE});
                },
                {VK_UP, VK_RETURN}, &items),
            all);
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items.back(), L"Everything\tCtrl+C");
}

class JapaneseHotKey : public HotKey {};

// In double-byte mode, with the item texts of section Menu as given, in code page 932.
TEST_F(JapaneseHotKey, MenusCopyInTheTextsOfTheSettings) {
  PutLibrary(Script().Ini());
  const std::wstring copyValue = L"\u5024\u3092\u30b3\u30d4\u30fc";  // "Copy the value"
  char bytes[64] = {};
  WideCharToMultiByte(932, 0, copyValue.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
  ProgramRun& run = Start("UseDB=true\r\n[Menu]\r\nCopyValue=" + std::string(bytes) + "\r\n");
  std::vector<std::wstring> items;
  ExpectMenusCopy(run, FullWidth(L"SER-42"), FullWidth(L"SUPPORT-ID"), &items);
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items[0], copyValue);
}

}  // namespace
}  // namespace kv::test
