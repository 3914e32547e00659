// quorin-id's conversions, against what dmidecode printed for real machines and what our
// library makes of the same tables.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "desk/hex_digits.h"
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

// Every byte value at every position of sixteen digits: a digit exactly where the C library
// says it is one (':' after '9' is none), in each way the digits are read.
TEST(QuorinIdHex, ReadsADigitWhereTheCLibraryDoesAndNowhereElse) {
  for (int position = 0; position < 16; ++position) {
    for (int byte = 0; byte < 256; ++byte) {
      char chars[16];
      std::fill(std::begin(chars), std::end(chars), '0');
      chars[position] = static_cast<char>(byte);
      const bool digit = std::isxdigit(byte) != 0;
      const int value = digit ? std::stoi(std::string(1, chars[position]), nullptr, 16) : 0;
      std::uint8_t want[8] = {}, got[8] = {};
      want[position / 2] = static_cast<std::uint8_t>(position % 2 ? value : value << 4);
      EXPECT_EQ(HexBytesPortable(chars, got), digit) << position << " " << byte;
      EXPECT_TRUE(!digit || std::equal(got, got + 8, want)) << position << " " << byte;
#ifdef KV_HEX_SSE2
      EXPECT_EQ(HexBytesSse2(chars, got), digit) << position << " " << byte;
      EXPECT_TRUE(!digit || std::equal(got, got + 8, want)) << position << " " << byte;
#endif
    }
  }
}

// Every byte value at every position of a UUID and of a support ID: the quick reading reads
// exactly what the full one reads.
TEST(QuorinIdHex, TheQuickReadingReadsWhatTheFullOneDoes) {
  for (const std::string& form : {std::string(kLenovoUuid), std::string(kLenovoId)}) {
    for (std::size_t position = 0; position < form.size(); ++position) {
      for (int byte = 0; byte < 256; ++byte) {
        std::string text = form;
        text[position] = static_cast<char>(byte);
        const std::optional<desk::Machine> quick = ReadQuickly(text);
        const std::optional<std::u32string> characters = FromUtf8(text);
        const Reading full = characters ? Read(*characters) : Reading{};
        EXPECT_EQ(quick.has_value(), full.ok) << text;
        if (quick && full.ok) {
          EXPECT_EQ(quick->uuid, full.machine.uuid) << text;
          EXPECT_EQ(quick->typedAsUuid, full.machine.typedAsUuid) << text;
        }
      }
    }
  }
}

TEST(QuorinIdStreams, AByteOrderMarkCutAcrossReadsIsReadOnce) {
  const std::string csv = "Name,UUID\r\nPC," + std::string(kLenovoUuid) + "\r\n";
  const std::string want =
      "Name,UUID,SupportID\r\nPC," + std::string(kLenovoUuid) + "," + kLenovoId + "\r\n";
  std::string wideIn = "\xFF\xFE", wideWant = "\xFF\xFE";
  for (const char c : csv) wideIn += std::string{c, '\0'};
  for (const char c : want) wideWant += std::string{c, '\0'};
  for (const std::size_t piece : {1, 2}) {
    const auto convert = [](Source& source, Output& out, Sink& errors) {
      return ConvertCsv(source, out, errors, "UUID");
    };
    EXPECT_EQ(test::RunMode("\xEF\xBB\xBF" + csv, piece, convert).out, "\xEF\xBB\xBF" + want);
    EXPECT_EQ(test::RunMode(wideIn, piece, convert).out, wideWant);
  }
}

// quorin-id itself on whole files: what it writes, its exit status, and the row (or line)
// numbers its lines on standard error name, in order.
struct WholeFile {
  const char* what;
  std::string in;
  std::vector<std::string> arguments;
  std::string out;
  int status;
  std::vector<int> rows;
  std::string says = {};  // a phrase of its standard error
};

std::string Utf16Le(const std::string& ascii) {
  std::string wide = "\xFF\xFE";
  for (const char c : ascii) wide += std::string{c, '\0'};
  return wide;
}
std::string Utf16Be(const std::string& ascii) {
  std::string wide = "\xFE\xFF";
  for (const char c : ascii) wide += std::string{'\0', c};
  return wide;
}

TEST(QuorinIdWholeFiles, WriteWhatTheOracleSaysAndAccountForEveryRow) {
  const std::vector<Machine> m = OracleMachines();
  const Machine &a = m[0], &b = m[1];
  const std::string ua = AsciiLowerOf(a.uuid), ub = AsciiLowerOf(b.uuid);
  const std::string ra = "a," + ua, rb = "b," + ub, find = a.supportId;
  std::string misread = a.supportId;
  misread[24] = 'U';
  const std::string leftOut = a.supportId.substr(0, 12) + a.supportId.substr(13);
  const std::string twins = "Name,UUID\ntwin-8,00000000-0000-0000-0000-000000000002\n",
                    twin4 = "twin-4,00000000-0000-0000-0000-000000000001\n";
  std::string wide;
  for (int i = 0; i < 200; ++i) wide += "\xE3\x81\x82";  // a three-byte character
  const std::string plain = "Name,UUID\r\n" + ra + "\r\n",
                    converted = "Name,UUID,SupportID\r\n" + ra + "," + a.supportId + "\r\n";
  // Rows named in kana, which take half as much again in UTF-8 as in UTF-16.
  std::string kana, many, manyOut;
  for (int i = 0; i < 60; ++i) kana += std::string("\x42\x30", 2);
  for (int i = 0; i < 4000; ++i) {
    many += kana + Utf16Le("," + ua + "\r\n").substr(2);
    manyOut += kana + Utf16Le("," + ua + "," + a.supportId + "\r\n").substr(2);
  }
  const std::vector<std::string> csv = {"--csv", "UUID"},
                                 search = {"--find", find, "--csv", "UUID"};
  const std::vector<WholeFile> cases = {
      {"CR line ends",
       "Name,UUID\r" + ra + "\r" + rb + "\r",
       csv,
       "Name,UUID,SupportID\r" + ra + "," + a.supportId + "\r" + rb + "," + b.supportId + "\r",
       0,
       {}},
      {"a comma in a name: said, and found",
       "Name,UUID\nSmith, Jo," + ua + "\n" + rb + "\n",
       search,
       "Name,UUID\nSmith, Jo," + ua + "\n",
       0,
       {2}},
      {"a comma in a name, converted: said, refused",
       "Name,UUID\nSmith, Jo," + ua + "\n" + rb,
       csv,
       "Name,UUID,SupportID\nSmith, Jo," + ua + ",\n" + rb + "," + b.supportId,
       2,
       {2}},
      {"an unclosed quote: not searched, said",
       "Name,UUID\n" + rb + "\n\"c," + ua + "\n",
       search,
       "Name,UUID\n",
       5,
       {3}},
      {"a refused value: not searched, said",
       "Name,UUID\n" + rb + "\nc,{" + ua + "\n",
       search,
       "Name,UUID\n",
       5,
       {3}},
      {"every row searched, none the machine's",
       "Name,UUID\n" + rb + "\n",
       search,
       "Name,UUID\n",
       3,
       {}},
      {"a placeholder first: named after the first value that converts",
       "Host,ID\nx,To Be Filled By O.E.M.\ny," + a.supportId + "\n",
       {"--csv", "ID"},
       "Host,ID,UUID\nx,To Be Filled By O.E.M.,\ny," + a.supportId + "," + a.uuid + "\n",
       2,
       {2}},
      {"blank lines at the end are no rows",
       "Name,UUID\n" + ra + "\n\n\r\n",
       csv,
       "Name,UUID,SupportID\n" + ra + "," + a.supportId + "\n\n\r\n",
       0,
       {}},
      {"a name twice", "UUID,UUID\n" + ua + "," + ub + "\n", csv, "", 2, {}, "--csv 1 or --csv 2"},
      {"a name twice when case is ignored",
       "Uuid,UUID\n" + ua + "," + ub + "\n",
       {"--csv", "uuid"},
       "",
       2,
       {},
       "--csv 1 or --csv 2"},
      {"an exact name wins",
       "Uuid,UUID\n" + ua + "," + ub + "\n",
       csv,
       "Uuid,UUID,SupportID\n" + ua + "," + ub + "," + b.supportId + "\n",
       0,
       {}},
      {"--csv without its COLUMN", "", {"--csv"}, "", 2, {}, "Usage: quorin-id"},
      {"--csv twice", "", {"--csv", "A", "--csv", "B"}, "", 2, {}, "Usage: quorin-id"},
      {"UTF-16, little endian", Utf16Le(plain), csv, Utf16Le(converted), 0, {}},
      {"UTF-16, big endian", Utf16Be(plain), csv, Utf16Be(converted), 0, {}},
      {"UTF-16, more than a read holds",
       Utf16Le(plain) + many,
       csv,
       Utf16Le(converted) + manyOut,
       0,
       {}},
      {"a doubled quote after a UUID",
       "Name,UUID\na,\"" + ua + "\"\"\"\n",
       csv,
       "Name,UUID,SupportID\na,\"" + ua + "\"\"\",\n",
       2,
       {2}},
      {"CRLF on lines read in one piece",
       ua + "\r\n" + b.supportId + "\r\n",
       {"-"},
       a.supportId + "\r\n" + b.uuid + "\r\n",
       0,
       {}},
      {"a U for a Q, two rows of one machine",
       "Name,UUID\n" + ra + "\n" + rb + "\nc," + ua + "\n",
       {"--find", misread, "--csv", "UUID"},
       "Name,UUID\n" + ra + "\nc," + ua + "\n",
       0,
       {2, 4}},
      {"one character left out",
       "Name,UUID\n" + rb + "\n" + ra + "\n",
       {"--find", leftOut, "--csv", "UUID"},
       "Name,UUID\n" + ra + "\n",
       0,
       {3}},
      {"an exact row wins over a near one before it",
       twins + twin4,
       {"--find", "00000000000000000000000004", "--csv", "UUID"},
       "Name,UUID\n" + twin4,
       0,
       {}},
      {"three-byte characters counted once",
       wide + "\n",
       {"-"},
       "\n",
       2,
       {1},
       "this has 200 characters"},
  };
  const std::filesystem::path dir = testing::TempDir();
  for (const WholeFile& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(dir / "in", std::ios::binary) << c.in;
    std::string command = KV_QUORIN_ID;
    for (const std::string& argument : c.arguments) command += " '" + argument + "'";
    command += " <" + (dir / "in").string() + " >" + (dir / "out").string() + " 2>" +
               (dir / "err").string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.status);
    EXPECT_EQ(ReadFile(dir / "out"), c.out);
    const std::string errors = ReadFile(dir / "err");
    std::vector<int> rows;
    std::istringstream lines(errors);
    for (std::string line; std::getline(lines, line);) {
      for (const char* word : {"quorin-id: row ", "quorin-id: line "}) {
        if (line.starts_with(word)) rows.push_back(std::stoi(line.substr(std::strlen(word))));
      }
    }
    EXPECT_EQ(rows, c.rows) << errors;
    EXPECT_NE(errors.find(c.says), std::string::npos) << errors;
  }
}

}  // namespace
}  // namespace kv::desk
