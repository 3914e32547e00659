// Hostile input, end to end: settings files, system data files and library answers that
// no one should write, each against the real program, each with the outcome it implies.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>

#include "harness.h"
#include "scenario.h"

namespace kv::test {
namespace {

constexpr Label kIdentityLabels[] = {LabelSWBuildContent,   LabelSerialContent,  LabelModelContent,
                                     LabelSupportIDContent, LabelProductContent, LabelHWBOMContent,
                                     LabelSWBOMContent};

// What a case puts around the program before it starts.
struct Surroundings {
  TestFolder& folder;
  std::vector<std::unique_ptr<SystemDataFile>> data;
  win32::UniqueHandle lock;
  Script script;
};

struct Case {
  const char* name;
  std::string ini;
  std::function<void(Surroundings&)> prepare;
  std::function<void(ProgramRun&)> check;
};

std::string Random(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::string Utf16WithMark(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (const char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

int DesignWidth() {
  RECT frame = {0, 0, 447, 224};
  AdjustWindowRectEx(&frame, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
  return frame.right - frame.left;
}

int WidthOf(const ProgramRun& run) {
  return run.WindowRect().right - run.WindowRect().left;
}

void ShowsWindowWithCaption(ProgramRun& run, const std::wstring& caption) {
  EXPECT_EQ(run.Caption(), caption);
}

Case WidthCase(const char* name, const char* value) {
  return {name, std::string("[Screen]\r\nWidth=") + value + "\r\n", {}, [](ProgramRun& run) {
            EXPECT_EQ(WidthOf(run), DesignWidth());
          }};
}

Case ResultCase(const char* name, int result) {
  return {name, "[Screen]\r\n",
          [result](Surroundings& s) {
            s.script.buildResult = result;
            s.script.biosResult = result;
          },
          [](ProgramRun& run) {
            for (const Label id : kIdentityLabels)
              EXPECT_EQ(run.LabelText(id), L"Unknown") << static_cast<int>(id);
          }};
}

Case DataFileCase(const char* name, std::function<void(Surroundings&)> prepare,
                  const wchar_t* shown, const wchar_t* font) {
  return {name, "[Screen]\r\n", std::move(prepare), [shown, font](ProgramRun& run) {
            EXPECT_EQ(run.LabelText(LabelBODContent), shown);
            EXPECT_STREQ(run.LabelFont(LabelBODContent).lfFaceName, font);
          }};
}

const Case kCases[] = {
    {"binary_settings",
     Random(4096, 1),
     {},
     [](ProgramRun& run) {
       ShowsWindowWithCaption(run, L"");
       EXPECT_EQ(run.LabelText(LabelModel), L"");
     }},
    {"one_megabyte_line",
     "[Screen]\r\nWindowTitle=" + std::string(1 << 20, 'x'),
     {},
     [](ProgramRun& run) { ShowsWindowWithCaption(run, std::wstring(104, L'x')); }},
    {"utf16_with_byte_order_mark",
     Utf16WithMark("[Screen]\r\nWindowTitle=Support Info\r\nText1=Model\r\n"),
     {},
     [](ProgramRun& run) {
       ShowsWindowWithCaption(run, L"Support Info");
       EXPECT_EQ(run.LabelText(LabelModel), L"Model");
     }},
    {"carriage_returns_only",
     "[Screen]\rWindowTitle=CR\rText1=Model\r",
     {},
     [](ProgramRun& run) { EXPECT_EQ(run.LabelText(LabelModelContent), L"MODEL-7   "); }},
    {"screen_section_twice",
     "[Screen]\r\nWindowTitle=First\r\n[Screen]\r\nWindowTitle=Second\r\nText1=Model\r\n",
     {},
     [](ProgramRun& run) {
       // The profile read looks in the first section of a name only.
       ShowsWindowWithCaption(run, L"First");
       EXPECT_EQ(run.LabelText(LabelModel), L"");
     }},
    {"quotes_and_blanks",
     "[Screen]\r\n  WindowTitle  =   \"  Quoted  \"   \r\nText1=  x y  \r\n",
     {},
     [](ProgramRun& run) {
       ShowsWindowWithCaption(run, L"  Quoted  ");
       EXPECT_EQ(run.LabelText(LabelModel), L"x y");
     }},
    WidthCase("width_minus_one", "-1"),
    WidthCase("width_zero", "0"),
    WidthCase("width_1e39", "1e39"),
    WidthCase("width_eleven_digits", "99999999999"),
    WidthCase("width_decimal_comma", "12,5"),
    WidthCase("width_hex", "0x100"),
    {"settings_locked_by_another_process", "[Screen]\r\nWindowTitle=Locked\r\n",
     [](Surroundings& s) {
       s.lock.reset(CreateFileW((s.folder / L"Quorin.ini").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr));
     },
     [](ProgramRun& run) { ShowsWindowWithCaption(run, L""); }},
    DataFileCase(
        "data_file_empty",
        [](Surroundings& s) {
          s.data.push_back(std::make_unique<SystemDataFile>(L"kvsysdrv.dat", ""));
        },
        L"Unknown", L"Arial"),
    DataFileCase(
        "data_file_binary",
        [](Surroundings& s) {
          s.data.push_back(std::make_unique<SystemDataFile>(L"kvsysdrv.dat", Random(2048, 2)));
        },
        L"Unknown", L"Arial"),
    DataFileCase(
        "data_file_value_of_200",
        [](Surroundings& s) {
          std::string value;
          while (value.size() < 200) value += "ABCDEFGHIJ";
          s.data.push_back(std::make_unique<SystemDataFile>(
              L"kvsysdrv.dat", "[KVSYSDRV]\r\nBFirst=" + value + "\r\n"));
        },
        L"ABD-EIJ", L"Arial"),
    DataFileCase(
        "data_file_is_a_folder",
        [](Surroundings&) { CreateDirectoryW(L"C:\\windows\\system\\kvsysdrv.dat", nullptr); },
        L"Unknown", L"MS Gothic"),
    DataFileCase(
        "data_file_hidden",
        [](Surroundings& s) {
          s.data.push_back(std::make_unique<SystemDataFile>(
              L"kvsysdrv.dat", "[KVSYSDRV]\r\nBFirst=ABCDEFGHIJ\r\n", FILE_ATTRIBUTE_HIDDEN));
        },
        L"Unknown", L"MS Gothic"),
    {"library_leaves_no_nul", "[Screen]\r\n",
     [](Surroundings& s) {
       s.script.build = std::string(11, 'B');
       for (auto& piece : s.script.pieces) piece = std::string(27, 'Z');
     },
     [](ProgramRun& run) {
       EXPECT_EQ(run.LabelText(LabelSWBuildContent), std::wstring(10, L'B'));
       EXPECT_EQ(run.LabelText(LabelSerialContent), std::wstring(12, L'Z'));
       EXPECT_EQ(run.LabelText(LabelSupportIDContent), std::wstring(26, L'Z'));
     }},
    {"library_all_nul", "[Screen]\r\n",
     [](Surroundings& s) {
       s.script.build = std::string(11, '\0');
       for (auto& piece : s.script.pieces) piece = std::string(27, '\0');
     },
     [](ProgramRun& run) {
       for (const Label id : kIdentityLabels)
         EXPECT_EQ(run.LabelText(id), L"") << static_cast<int>(id);
     }},
    ResultCase("library_result_minus_one", -1),
    ResultCase("library_result_one", 1),
    ResultCase("library_result_32767", 32767),
    ResultCase("library_result_minus_32768", -32768),
    {"library_value_the_code_page_cannot_map", "[Screen]\r\n",
     [](Surroundings& s) {
       s.script.pieces[abi::IndexOf(abi::Piece::kSerialNumber)] = "A\x81\x8D\x8F\x90\x9D";
     },
     [](ProgramRun& run) {
       EXPECT_EQ(run.LabelText(LabelSerialContent), L"A\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD      ");
     }},
    {"library_call_of_five_seconds", "[Screen]\r\n",
     [](Surroundings& s) { s.script.delayMs = 5000; },
     [](ProgramRun& run) { EXPECT_EQ(run.LabelText(LabelModelContent), L"MODEL-7   "); }},
};

class Hostile : public ProgramTest, public testing::WithParamInterface<Case> {
 protected:
  ~Hostile() override { RemoveDirectoryW(L"C:\\windows\\system\\kvsysdrv.dat"); }
};

TEST_P(Hostile, InputGetsTheOutcomeItImplies) {
  folder_.Write(L"Quorin.ini", GetParam().ini);
  Surroundings setup{folder_, {}, {}, {}};
  if (GetParam().prepare) GetParam().prepare(setup);
  PutLibrary(setup.script.Ini());
  ProgramRun& run = Launch(folder_);
  ASSERT_EQ(run.Wait(60000), ProgramRun::Outcome::kWindow);
  setup.lock.reset();
  GetParam().check(run);
  run.CloseWindow();
  EXPECT_EQ(run.WaitExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Inputs, Hostile, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostileSettings, FolderNamedLikeTheSettingsFileCountsAsMissing) {
  TestFolder folder;
  ASSERT_TRUE(CreateDirectoryW((folder / L"Quorin.ini").c_str(), nullptr));
  folder.Copy(QuorinExe(), L"Quorin.exe");
  ProgramRun run(folder / L"Quorin.exe", folder.path());
  ASSERT_EQ(run.Wait(), ProgramRun::Outcome::kMessageBox);
  EXPECT_EQ(run.BoxText(), L"File Quorin.ini is Missing!");
  run.CloseBox();
  EXPECT_EQ(run.WaitExit(), 1u);
}

// A value whose 104th byte opens a double-byte character: the read cuts it in two, and the
// half is dropped rather than shown as a stand-in.
TEST(JapaneseHostile, LeadByteAtTheCutIsDropped) {
  ASSERT_EQ(GetACP(), 932u) << "run under ja_JP.UTF-8";
  TestFolder folder;
  const std::string value = std::string(103, 'A') + "\x82\xA0";
  folder.Write(L"Quorin.ini",
               "[Screen]\r\nUseDB=true\r\nWindowTitle=" + value + "\r\nText1=" + value + "\r\n");
  folder.Copy(QuorinExe(), L"Quorin.exe");
  ProgramRun run(folder / L"Quorin.exe", folder.path());
  ASSERT_EQ(run.Wait(), ProgramRun::Outcome::kWindow);
  // What is left of the split character depends on the platform's read: nothing, or a
  // blank in its place; never a stand-in that looks like a character.
  const std::wstring wide = FullWidth(std::wstring(103, L'A'));
  for (const std::wstring& shown : {run.Caption(), run.LabelText(LabelModel)}) {
    EXPECT_TRUE(shown == wide || shown == wide + L'\u3000') << shown.size();
  }
}

}  // namespace
}  // namespace kv::test
