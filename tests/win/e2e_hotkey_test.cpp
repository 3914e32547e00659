// The version key chord on the real program, with keys sent as a user types them.
#include <gtest/gtest.h>

#include <memory>

#include "harness.h"

namespace kv::test {
namespace {

constexpr wchar_t kVersionText[] = L"                  Version 3.2.0";

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

TEST_F(HotKey, CapsLockMakesNoDifference) {
  ProgramRun& run = Start("WindowTitle=Caps\r\n");
  run.PressChord({VK_CAPITAL});
  run.PressChord({VK_CONTROL, VK_SHIFT, 'B'});
  const bool shown = run.WaitForBox(5000);
  run.PressChord({VK_CAPITAL});
  ASSERT_TRUE(shown);
  EXPECT_EQ(run.BoxText(), kVersionText);
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

}  // namespace
}  // namespace kv::test
