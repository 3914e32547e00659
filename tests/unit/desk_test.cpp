// quorin-id's conversions, against what dmidecode printed for real machines and what our
// library makes of the same tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "desk/id_conversion.h"
#include "desk/modes.h"
#include "desk/text_encodings.h"
#include "fakes/fake_streams.h"
#include "identity_map.h"

namespace kv::desk {
namespace {

std::u32string U32(const std::string& ascii) {
  return std::u32string(ascii.begin(), ascii.end());
}

std::string AsciiLowerOf(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The oracle's machines: the UUID dmidecode printed, in upper case, and the support ID our
// library makes of the same table.
struct Machine {
  std::string uuid, supportId;
};
std::vector<Machine> OracleMachines() {
  const std::filesystem::path fixtures = KV_SMBIOS_FIXTURES;
  std::ifstream printed(fixtures / "dmidecode-uuids.txt");
  std::vector<Machine> machines;
  for (std::string line; std::getline(printed, line);) {
    const std::size_t space = line.find(' ');
    const std::string name = line.substr(0, space), uuid = line.substr(space + 1);
    if (name.starts_with("#") || uuid.size() != 36) continue;  // a machine without a UUID
    const std::string table = ReadFile(fixtures / (name + ".rsmb"));
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(table.data()), table.size());
    const auto pieces = tovramix::IdentityPieces(*tovramix::ReadRawSmbios(bytes));
    if (pieces)
      machines.push_back(
          {Upper(uuid),
           std::string((*pieces)[kv::abi::IndexOf(kv::abi::Piece::kSupportId)].View())});
  }
  return machines;
}

TEST(QuorinId, TurnsEachMachinesSupportIdIntoTheUuidDmidecodePrintedAndBack) {
  const std::vector<Machine> machines = OracleMachines();
  EXPECT_EQ(machines.size(), 9u);  // the tenth has no UUID
  for (const Machine& machine : machines) {
    SCOPED_TRACE(machine.uuid);
    ASSERT_EQ(machine.supportId.size(), 26u);
    EXPECT_EQ(Convert(U32(machine.supportId)).text, machine.uuid);
    EXPECT_EQ(Convert(U32(machine.uuid)).text, machine.supportId);
  }
}

struct Form {
  std::u32string typed;
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
                    Form{U"161674CC2A1E11B2A85CE121881D01B9", kLenovoId},
                    Form{U"URN:UUID:161674CC-2A1E-11B2-A85C-E121881D01B9", kLenovoId},
                    // 100 characters, the most it reads.
                    Form{U32(kLenovoId + std::string(74, ' ')), kLenovoUuid},
                    // Every blank and hyphen that a support ID may be grouped with.
                    Form{U"2RB7\t9K1A\u00A03R8V\u30005A2W\u2010W4GR\u2011G781\u2012Q4",
                         kLenovoUuid},
                    Form{U"2RB7\u20139K1A\u20143R8V\u20155A2W\u2212W4GRG781Q4", kLenovoUuid}));

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
                    Refusal{std::u32string(100000, U'0'), "has 100000 characters"},
                    Refusal{U32(kLenovoId + std::string(75, ' ')), "has 101 characters"},
                    // Only the second of the two bits left over is set.
                    Refusal{U"2RB79K1A3R8V5A2WW4GRG781Q6", "ends in '6'"},
                    Refusal{U"161674CCx2A1E-11B2-A85C-E121881D01B9", "'x' is not a hexadecimal"}));

TEST(QuorinId, ReadsOnlyWellFormedArguments) {
  EXPECT_EQ(FromUtf8("\xEF\xBC\x92z"), U"\uFF12z");
  EXPECT_EQ(FromUtf16(u"\xD83D\xDE00"), U"\U0001F600");
  for (const char* bytes : {"\xC0\xAF", "\xED\xA0\x80", "\xEF\xBC", "\xFF"}) {
    EXPECT_FALSE(FromUtf8(bytes)) << bytes;
  }
  EXPECT_FALSE(FromUtf16(u"\xDE00"));
}

// An input handed over five bytes a read, so that lines and fields span reads.
template <class Mode>
test::ModeRun Stream(std::string_view in, Mode&& mode) {
  return test::RunMode(in, 5, mode);
}

TEST(QuorinIdLines, GiveALineForEachLineInOrderAndSayWhichWereRefused) {
  std::string in, want;
  for (const Machine& machine : OracleMachines()) {
    in += AsciiLowerOf(machine.uuid) + "\n" + machine.supportId + "\r\n";
    want += machine.supportId + "\n" + machine.uuid + "\r\n";
    if (want.size() == machine.supportId.size() + machine.uuid.size() + 3) {
      in += "2RB79K1A3R8V5A2WW4GRG781U4\n \t\n";  // refused, then blank
      want += "\n\n";
    }
  }
  in += std::string(600, 'X') + "\n" + kLenovoId;  // too long; the last line has no line end
  want += std::string("\n") + kLenovoUuid + "\n";
  const test::ModeRun run = Stream(in, ConvertLines);
  EXPECT_EQ(run.out, want);
  EXPECT_EQ(run.status, kRefused);
  EXPECT_EQ(run.errors,
            "quorin-id: line 3: 'U' is not in a support ID, which is written with 0-9 and A-Z "
            "without I, L, O and U\n"
            "quorin-id: line 21: this has 600 characters; a support ID has 26 and a UUID 36\n");
}

struct CsvCase {
  const char* what;
  std::string in;
  const char* column;
  std::string out;
  int status;
  std::string errors;
};

class Inventories : public testing::TestWithParam<CsvCase> {};

TEST_P(Inventories, GetTheOtherFormInAFieldAddedToEveryRow) {
  const CsvCase& c = GetParam();
  const test::ModeRun run = Stream(c.in, [&](Source& source, Output& out, Sink& errors) {
    return ConvertCsv(source, out, errors, c.column);
  });
  EXPECT_EQ(run.out, c.out);
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.errors, c.errors);
}

const std::string kLenovo(kLenovoUuid), kId(kLenovoId);
INSTANTIATE_TEST_SUITE_P(
    Csv, Inventories,
    testing::Values(
        CsvCase{
            "a mark, quotes, a comma inside them, CRLF",
            "\xEF\xBB\xBFName,UUID\r\n\"PC, one\",\"" + kLenovo + "\"\r\n", "UUID",
            "\xEF\xBB\xBFName,UUID,SupportID\r\n\"PC, one\",\"" + kLenovo + "\"," + kId + "\r\n",
            kDone, ""},
        CsvCase{"a line break and doubled quotes inside quotes, a column by number",
                "UUID,Note\n" + kLenovo + ",\"two\nlines, \"\"quoted\"\"\"\n", "1",
                "UUID,Note,SupportID\n" + kLenovo + ",\"two\nlines, \"\"quoted\"\"\"," + kId + "\n",
                kDone, ""},
        CsvCase{"support IDs, a blank value, no last line end", "Host,ID\nA,\nB," + kId, "ID",
                "Host,ID,UUID\nA,,\nB," + kId + "," + kLenovo, kDone, ""},
        CsvCase{"a short row and a refused value", "Name,UUID\nPC\nPC2,{" + kLenovo + "\n", "UUID",
                "Name,UUID,SupportID\nPC,\nPC2,{" + kLenovo + ",\n", kRefused,
                "quorin-id: row 2: has 1 field where the header has 2 fields\n"
                "quorin-id: row 3: '{' is not a hexadecimal digit, which every character of a "
                "UUID but its hyphens is\n"},
        CsvCase{"a column the header lacks", "Name,UUID\nPC," + kLenovo + "\n", "Serial", "",
                kRefused, "quorin-id: the header has no column \"Serial\"\n"}));

// The desk's inventory: the oracle's machines under their tables' names, and two machines
// whose support IDs, 25 zeros and a 4 or an 8, lie one reading error apart.
std::vector<std::string> InventoryRows() {
  std::ifstream printed(std::filesystem::path(KV_SMBIOS_FIXTURES) / "dmidecode-uuids.txt");
  std::vector<std::string> rows = {"Name,UUID\r\n"};
  for (std::string line; std::getline(printed, line);) {
    const std::size_t space = line.find(' ');
    if (!line.starts_with("#") && line.size() - space == 37) {
      rows.push_back(line.substr(0, space) + "," + line.substr(space + 1) + "\r\n");
    }
  }
  rows.push_back("twin-4,00000000-0000-0000-0000-000000000001\r\n");
  rows.push_back("twin-8,00000000-0000-0000-0000-000000000002\r\n");
  return rows;
}

struct SearchCase {
  std::u32string id;
  std::vector<std::string> machines;  // the rows' names, in order
  int status;
  std::string errors;
};

class Searches : public testing::TestWithParam<SearchCase> {};

TEST_P(Searches, FindTheCallersRowsDespiteOneReadingError) {
  const SearchCase& c = GetParam();
  const std::vector<std::string> rows = InventoryRows();
  std::string inventory, want = c.status == kRefused ? "" : rows[0];
  for (const std::string& row : rows) inventory += row;
  for (const std::string& machine : c.machines) {
    want += *std::find_if(rows.begin(), rows.end(),
                          [&](const std::string& row) { return row.starts_with(machine + ","); });
  }
  const test::ModeRun run = Stream(inventory, [&](Source& source, Output& out, Sink& errors) {
    return FindInCsv(source, out, errors, c.id, "UUID");
  });
  EXPECT_EQ(run.out, want);
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.errors, c.errors);
}

const std::string kRow = "quorin-id: row 8: ";  // the Lenovo's
INSTANTIATE_TEST_SUITE_P(
    Find, Searches,
    testing::Values(
        SearchCase{U"2rb7-9k1a-3r8v-5a2w-w4gr-g781-q4", {"lenovo-thinkpad-t480s"}, kDone, ""},
        SearchCase{U"161674CC-2A1E-11B2-A85C-E121881D01B9", {"lenovo-thinkpad-t480s"}, kDone, ""},
        SearchCase{U"3RB79K1A3R8V5A2WW4GRG781Q4",
                   {"lenovo-thinkpad-t480s"},
                   kDone,
                   kRow + "position 1: read '3', the machine has '2'\n"},
        SearchCase{U"2RB79K1A3R8VSA2WW4GRG781Q4",
                   {"lenovo-thinkpad-t480s"},
                   kDone,
                   kRow + "position 13: read 'S', the machine has '5'\n"},
        SearchCase{U"2RB79K1A3R8V5A2WW4GRG781Q5",
                   {"lenovo-thinkpad-t480s"},
                   kDone,
                   kRow + "position 26: read '5', the machine has '4'\n"},
        SearchCase{U"R2B79K1A3R8V5A2WW4GRG781Q4",
                   {"lenovo-thinkpad-t480s"},
                   kDone,
                   kRow + "positions 1 and 2: read 'R' before '2', the machine has them the "
                          "other way round\n"},
        SearchCase{U"2RB79K1A3R8VA52WW4GRG781Q4",
                   {"lenovo-thinkpad-t480s"},
                   kDone,
                   kRow + "positions 13 and 14: read 'A' before '5', the machine has them the "
                          "other way round\n"},
        SearchCase{U"2RB79K1A3R8V5A2WW4GRG7814Q",
                   {"lenovo-thinkpad-t480s"},
                   kDone,
                   kRow + "positions 25 and 26: read '4' before 'Q', the machine has them the "
                          "other way round\n"},
        SearchCase{U"RB79K1A3R8V5A2WW4GRG781Q4",
                   {"lenovo-thinkpad-t480s"},
                   kDone,
                   kRow + "position 1: the machine has '2', which was left out\n"},
        SearchCase{U"2RB79K1A3R8VA2WW4GRG781Q4",
                   {"lenovo-thinkpad-t480s"},
                   kDone,
                   kRow + "position 13: the machine has '5', which was left out\n"},
        SearchCase{U"2RB79K1A3R8V5A2WW4GRG781Q",
                   {"lenovo-thinkpad-t480s"},
                   kDone,
                   kRow + "position 26: the machine has '4', which was left out\n"},
        SearchCase{U"X2RB79K1A3R8V5A2WW4GRG781Q4",
                   {"lenovo-thinkpad-t480s"},
                   kDone,
                   kRow + "position 1: read 'X', which the machine does not have\n"},
        SearchCase{U"2RB79K1A3R8VX5A2WW4GRG781Q4",
                   {"lenovo-thinkpad-t480s"},
                   kDone,
                   kRow + "position 13: read 'X', which the machine does not have\n"},
        SearchCase{U"2RB79K1A3R8V5A2WW4GRG781Q4X",
                   {"lenovo-thinkpad-t480s"},
                   kDone,
                   kRow + "position 27: read 'X', which the machine does not have\n"},
        SearchCase{U"000000000000000000000000 0C",
                   {"twin-4", "twin-8"},
                   kAmbiguous,
                   "quorin-id: row 11: position 26: read 'C', the machine has '4'\n"
                   "quorin-id: row 12: position 26: read 'C', the machine has '8'\n"
                   "quorin-id: the support ID is ambiguous: 2 machines are one reading error "
                   "away from it\n"},
        SearchCase{U"28T5CY4TQKFF04HMASW9NF6YY0", {}, kNoMachine, ""},
        SearchCase{U"2RB79",
                   {},
                   kRefused,
                   "quorin-id: a support ID has 26 characters and a UUID 32 hexadecimal digits; "
                   "this has 5\n"}));

}  // namespace
}  // namespace kv::desk
