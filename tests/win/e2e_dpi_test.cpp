// The window moved to monitors of other DPIs, against fresh starts at those DPIs. Wine does not
// move windows between monitors of different DPI: the probe sends WM_DPICHANGED from the
// window's own thread, with the rectangle Windows would suggest. tests/win/dpi-test.sh runs
// the fresh starts at 144 and 192 DPI first, in the same prefix, and the changes at 96.
#include <gtest/gtest.h>

#include <cwchar>
#include <fstream>
#include <string>
#include <vector>

#include "harness.h"
#include "scenario.h"
#include "window/form_design.h"

namespace kv::test {
namespace {

using Lines = std::vector<std::string>;

// The window as the comparison sees it: the outer width, the client area's size, and each
// label's box, font face and font height.
Lines Snapshot(ProgramRun& run) {
  const RECT window = run.WindowRect();
  const SIZE client = run.ClientSize();
  Lines lines = {"width " + std::to_string(window.right - window.left),
                 "client " + std::to_string(client.cx) + " " + std::to_string(client.cy)};
  for (const LabelDesign& d : kLabelDesigns) {
    const RECT box = run.LabelRect(d.id);
    const LOGFONTW font = run.LabelFont(d.id);
    const std::wstring face = font.lfFaceName;
    lines.push_back(std::string(d.name, d.name + std::wcslen(d.name)) + " " +
                    std::to_string(box.left) + " " + std::to_string(box.top) + " " +
                    std::to_string(box.right) + " " + std::to_string(box.bottom) + " " +
                    std::string(face.begin(), face.end()) + " " + std::to_string(font.lfHeight));
  }
  return lines;
}

std::wstring Recorded(int dpi) {
  return BuiltFile(L"KV_SNAPSHOTS", std::to_wstring(dpi) + L".txt");
}

// Values that fill their buffers with the widest letter, so that the value labels grow; in
// single-byte mode a blank width, so that the window takes its fallback, in double-byte mode
// the shipped one.
class Dpi : public ProgramTest {
 protected:
  ProgramRun& Start(const std::string& screen) {
    Script script;
    script.pieces[abi::IndexOf(abi::Piece::kSerialNumber)] = std::string(12, 'W');
    script.pieces[abi::IndexOf(abi::Piece::kModel)] = std::string(10, 'W');
    script.pieces[abi::IndexOf(abi::Piece::kSupportId)] = std::string(26, 'W');
    script.pieces[abi::IndexOf(abi::Piece::kProductNumber)] = std::string(18, 'W');
    PutLibrary(script.Ini());
    return StartShown(screen);
  }
  virtual std::string Settings() const { return "Width=\"          \"\r\n"; }

  void RecordFreshStart() {
    const Lines lines = Snapshot(Start(Settings()));
    std::ofstream out(Recorded(ScreenDpi()).c_str());
    for (const std::string& line : lines) out << line << '\n';
  }

  // Started at the prefix's DPI, moved to each of KV_DPI_CHANGES in turn.
  void ChangeAndCompare() {
    const int start = ScreenDpi();
    ProgramRun& run = Start(Settings());
    const Lines first = Snapshot(run);
    ASSERT_EQ(run.Fonts().created, 0) << "the probe counts the program's fonts";
    wchar_t changes[64] = {};
    GetEnvironmentVariableW(L"KV_DPI_CHANGES", changes, 64);
    int old = start;
    for (wchar_t* next = changes; *next;) {
      const int dpi = static_cast<int>(std::wcstol(next, &next, 10));
      run.ChangeDpi(dpi, old);
      old = dpi;
      Lines fresh = first;
      if (dpi != start) {
        std::ifstream in(Recorded(dpi).c_str());
        fresh.clear();
        for (std::string line; std::getline(in, line);) fresh.push_back(line);
      }
      EXPECT_EQ(Snapshot(run), fresh) << "at " << dpi << " DPI";
    }
    // Each change made fonts of its own, and freed each font that no label used any more: as
    // many live as before.
    const probe::FontCounts fonts = run.Fonts();
    EXPECT_GT(fonts.created, 0);
    EXPECT_EQ(fonts.deleted, fonts.created);
    run.PressChord({VK_CONTROL, VK_SHIFT, 'B'});
    EXPECT_TRUE(run.WaitForBox(5000));
  }
};

TEST_F(Dpi, FreshStart) {
  RecordFreshStart();
}

TEST_F(Dpi, ChangesGiveTheWindowOfAFreshStart) {
  ChangeAndCompare();
}

// A width that 192 DPI cannot draw (32,800 pixels, past 32,767) and 96 DPI can (16,400, on a
// screen wide enough for it): started at 192 and moved to 96, the window takes it as a start at
// 96 takes it.
class RefusedWidthDpi : public Dpi {
 protected:
  std::string Settings() const override { return "Width=246000\r\n"; }
};

TEST_F(RefusedWidthDpi, FreshStart) {
  RecordFreshStart();
}

TEST_F(RefusedWidthDpi, ChangesGiveTheWindowOfAFreshStart) {
  ChangeAndCompare();
}

class JapaneseDpi : public Dpi {
 protected:
  std::string Settings() const override { return "UseDB=true\r\nWidth=11000\r\n"; }
};

TEST_F(JapaneseDpi, FreshStart) {
  RecordFreshStart();
}

TEST_F(JapaneseDpi, ChangesGiveTheWindowOfAFreshStart) {
  ChangeAndCompare();
}

}  // namespace
}  // namespace kv::test
