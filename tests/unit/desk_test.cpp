// quorin-id's conversions, against what dmidecode printed for real machines and what our
// library makes of the same tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "desk/id_conversion.h"
#include "identity_map.h"

namespace kv::desk {
namespace {

std::u32string U32(const std::string& ascii) {
  return std::u32string(ascii.begin(), ascii.end());
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(QuorinId, TurnsEachMachinesSupportIdIntoTheUuidDmidecodePrintedAndBack) {
  const std::filesystem::path fixtures = KV_SMBIOS_FIXTURES;
  std::ifstream printed(fixtures / "dmidecode-uuids.txt");
  int machines = 0;
  for (std::string line; std::getline(printed, line);) {
    const std::size_t space = line.find(' ');
    const std::string name = line.substr(0, space), uuid = line.substr(space + 1);
    if (name.starts_with("#") || uuid.size() != 36) continue;  // a machine without a UUID
    SCOPED_TRACE(name);
    const std::string table = ReadFile(fixtures / (name + ".rsmb"));
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(table.data()), table.size());
    const auto pieces = tovramix::IdentityPieces(*tovramix::ReadRawSmbios(bytes));
    ASSERT_TRUE(pieces);
    const std::string supportId((*pieces)[3].View());
    ASSERT_EQ(supportId.size(), 26u);
    EXPECT_EQ(Convert(U32(supportId)).text, Upper(uuid));
    EXPECT_EQ(Convert(U32(uuid)).text, supportId);
    ++machines;
  }
  EXPECT_EQ(machines, 9);  // the tenth has no UUID
}

struct Form {
  const char32_t* typed;
  const char* other;
};

// Two machines' pairs, as dmidecode printed the UUIDs.
constexpr char kLenovoId[] = "2RB79K1A3R8V5A2WW4GRG781Q4";
constexpr char kLenovoUuid[] = "161674CC-2A1E-11B2-A85C-E121881D01B9";
constexpr char kSupermicroUuid[] = "00000000-0000-0000-0000-0CC47A133878";

class AcceptedForms : public testing::TestWithParam<Form> {};

TEST_P(AcceptedForms, GiveTheOtherForm) {
  const Conversion conversion = Convert(GetParam().typed);
  EXPECT_TRUE(conversion.ok);
  EXPECT_EQ(conversion.text, GetParam().other);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, AcceptedForms,
    testing::Values(Form{U"2rb79k1a3r8v5a2ww4grg781q4", kLenovoUuid},
                    Form{U" 2RB7 9K1A-3R8V 5A2W-W4GR G781 Q4 ", kLenovoUuid},
                    Form{U"2RB79KLA3R8V5A2WW4GRG78IQ4", kLenovoUuid},
                    Form{U"OOOOOOOOOOOOOOOO1K27M4SRFO", kSupermicroUuid},
                    Form{U"\uFF12\uFF32\uFF22\uFF17\uFF19\uFF2B\uFF11\uFF21\uFF13\uFF32\uFF18"
                         U"\uFF36\u3000\uFF15\uFF21\uFF12\uFF37\uFF37\uFF14\uFF27\uFF32\uFF27"
                         U"\uFF17\uFF18\uFF11\uFF31\uFF14",
                         kLenovoUuid},
                    Form{U"161674cc-2a1e-11b2-a85c-e121881d01b9", kLenovoId},
                    Form{U"{161674CC-2A1E-11B2-A85C-E121881D01B9}", kLenovoId},
                    Form{U"urn:uuid:161674cc-2a1e-11b2-a85c-e121881d01b9", kLenovoId},
                    Form{U"161674CC2A1E11B2A85CE121881D01B9", kLenovoId}));

struct Refusal {
  std::u32string typed;
  const char* says;
};

class RefusedInputs : public testing::TestWithParam<Refusal> {};

TEST_P(RefusedInputs, SayWhatIsWrong) {
  const Conversion conversion = Convert(GetParam().typed);
  EXPECT_FALSE(conversion.ok);
  EXPECT_NE(conversion.text.find(GetParam().says), std::string::npos) << conversion.text;
  EXPECT_EQ(conversion.text.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, RefusedInputs,
    testing::Values(Refusal{U"2RB79K1A3R8V5A2WW4GRG781Q", "this has 25"},
                    Refusal{U"", "this has 0"},
                    Refusal{U"2RB79K1A3R8V5A2WW4GRG781U4", "'U' is not in a support ID"},
                    Refusal{U"2RB79K1A3R8V5A2WW4GRG781Q\u00C4", "U+00C4 is not"},
                    Refusal{U"2RB79K1A3R8V5A2WW4GRG781Q5", "ends in '5'"},
                    Refusal{U"00000000000000000000000000", "identifies no machine"},
                    Refusal{U"{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}", "identifies no machine"},
                    Refusal{U"{161674CC-2A1E-11B2-A85C-E121881D01B}", "8-4-4-4-12"},
                    Refusal{std::u32string(100000, U'0'), "has 100000 characters"}));

TEST(QuorinId, ReadsOnlyWellFormedArguments) {
  EXPECT_EQ(FromUtf8("\xEF\xBC\x92z"), U"\uFF12z");
  EXPECT_EQ(FromUtf16(u"\xD83D\xDE00"), U"\U0001F600");
  for (const char* bytes : {"\xC0\xAF", "\xED\xA0\x80", "\xEF\xBC", "\xFF"}) {
    EXPECT_FALSE(FromUtf8(bytes)) << bytes;
  }
  EXPECT_FALSE(FromUtf16(u"\xDE00"));
}

}  // namespace
}  // namespace kv::desk
