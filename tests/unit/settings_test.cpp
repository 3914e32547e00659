#include "settings/settings.h"

#include <gtest/gtest.h>

#include "fakes/fake_ports.h"

namespace kv {
namespace {

using test::FakePlatform;
using test::Harness;
using test::Wide;

SettingBuffer ReadInto(const std::string& value) {
  SettingBuffer read{std::string(kReadBufferSize, ' '), 0};
  FakePlatform platform;
  platform.SetSetting(L"f", L"s", L"k", value);
  read.count = platform.ReadProfileString(L"f", L"s", L"k", L"", read.bytes);
  return read;
}

TEST(CutByCount, IsExactlyTheCopiedText) {
  FakePlatform platform;
  EXPECT_EQ(CutByCount(platform, ReadInto("Support Info")), L"Support Info");
  EXPECT_EQ(CutByCount(platform, ReadInto("")), L"");
  EXPECT_EQ(CutByCount(platform, ReadInto(std::string(120, 'x'))), std::wstring(104, L'x'));
}

TEST(CutByCount, CountsBytesWhereTheCodePageUsesTwoForACharacter) {
  FakePlatform platform;
  // Two double-byte characters and one single: five bytes, three characters.
  const std::wstring value = CutByCount(platform, ReadInto("\x82\xA0\x82\xA2z"));
  ASSERT_EQ(value.size(), 3u);
  EXPECT_EQ(value[2], L'z');
}

TEST(CutByCount, NeverReachesPastTheBufferWhateverTheCountSays) {
  FakePlatform platform;
  SettingBuffer read{"abc", 1000};
  EXPECT_EQ(CutByCount(platform, read), L"ab");
  EXPECT_EQ(CutByCount(platform, SettingBuffer{"", 7}), L"");
}

TEST(CutFirst10, KeepsTheNulAndTheFillBehindAShortValue) {
  FakePlatform platform;
  EXPECT_EQ(CutFirst10(platform, ReadInto("12345678")), std::wstring(L"12345678\0 ", 10));
  EXPECT_EQ(CutFirst10(platform, ReadInto("ABCDEFGHIJKL")), L"ABCDEFGHIJ");
  EXPECT_EQ(CutFirst10(platform, ReadInto("")), std::wstring(L"\0         ", 10));
  EXPECT_EQ(CutFirst10(platform, SettingBuffer{"abc", 3}), L"abc");
}

struct UseDbCase {
  const char* useDb;  // nullptr: no UseDB line
  bool doubleByte;
};

class UseDbValues : public testing::TestWithParam<UseDbCase> {};

TEST_P(UseDbValues, SelectTheDisplayMode) {
  Harness h;
  h.SetScreen(L"WindowTitle", "Support Info");
  if (GetParam().useDb) h.SetScreen(L"UseDB", GetParam().useDb);
  h.SetScreen(L"Text1", "Model");
  EXPECT_FALSE(h.Run());
  const std::wstring title = GetParam().doubleByte ? Wide(L"Support Info") : L"Support Info";
  EXPECT_EQ(h.form.caption, title);
  EXPECT_EQ(h.platform.appTitle, title);
  const auto& model = h.form.Of(Label::LabelModel);
  EXPECT_EQ(model.text, GetParam().doubleByte ? Wide(L"Model") : L"Model");
  EXPECT_EQ(model.fontName, GetParam().doubleByte ? L"MS Gothic" : L"Arial");
  EXPECT_EQ(model.fontSize, GetParam().doubleByte ? 14.25f : 14.0f);
}

INSTANTIATE_TEST_SUITE_P(Values, UseDbValues,
                         testing::Values(UseDbCase{"true", true}, UseDbCase{"TRUE", true},
                                         UseDbCase{"True", true}, UseDbCase{"yes", false},
                                         UseDbCase{"1", false}, UseDbCase{"false", false},
                                         UseDbCase{"truth", false}, UseDbCase{" true", false},
                                         UseDbCase{"", false}, UseDbCase{nullptr, false}));

TEST(LoadWindowTitle, DoubleByteRequestedWithoutSupportKeepsTheDesignCaption) {
  Harness h;
  h.platform.doubleByte = false;
  h.SetScreen(L"WindowTitle", "Support Info");
  h.SetScreen(L"UseDB", "true");
  h.SetScreen(L"Text3", "Support");
  EXPECT_FALSE(h.Run());
  EXPECT_EQ(h.form.caption, L"KV Solvane Support Information");
  EXPECT_EQ(h.platform.appTitle, L"KV Solvane Support Information");
  // The mode switched on the title: the captions take the single-byte form.
  EXPECT_EQ(h.form.Of(Label::LabelSupportID).text, L"Support");
  EXPECT_EQ(h.form.Of(Label::LabelSupportID).fontName, L"Arial");
}

TEST(LoadWindowTitle, LongTitleIsCutTo104Characters) {
  Harness h;
  h.SetScreen(L"WindowTitle", std::string(120, 'T'));
  EXPECT_FALSE(h.Run());
  EXPECT_EQ(h.form.caption, std::wstring(104, L'T'));
}

TEST(LoadWindowTitle, EmptyTitleEmptiesCaptionAndApplicationTitle) {
  Harness h;
  h.SetScreen(L"WindowTitle", "");
  EXPECT_FALSE(h.Run());
  EXPECT_EQ(h.form.caption, L"");
  EXPECT_EQ(h.platform.appTitle, L"");
}

// Then, after the start-up, the menus' texts.
TEST(LoadWindowTitle, ReadsKeysInOrderEachOnce) {
  Harness h;
  EXPECT_FALSE(h.Run());
  std::vector<std::wstring> reads;
  for (const auto& entry : h.platform.log) {
    if (entry.starts_with(L"read ")) reads.push_back(entry.substr(5));
  }
  const std::vector<std::wstring> expected = {
      L"WindowTitle", L"UseDB", L"Text3", L"Text2", L"Text1",     L"Text5",         L"Text4",
      L"Text6",       L"Text7", L"Text8", L"Width", L"CopyValue", L"CopySupportID", L"CopyAll"};
  EXPECT_EQ(reads, expected);
}

}  // namespace
}  // namespace kv
