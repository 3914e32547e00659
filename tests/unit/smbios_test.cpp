#include "smbios.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "identity_map.h"

namespace tovramix {
namespace {

using kv::abi::Piece;

using Bytes = std::vector<std::uint8_t>;
using nlohmann::json;

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Every structure the walk reaches, and how it ended.
struct Walked {
  std::vector<Structure> structures;
  WalkEnd end;
};

Walked WalkAll(std::span<const std::uint8_t> bytes) {
  Walked walked;
  walked.end = WalkTable(bytes, [&](const Structure& s) { walked.structures.push_back(s); });
  return walked;
}

// The canonical text of a UUID's bytes, as the decoder writes it.
std::string UuidText(const std::array<std::uint8_t, 16>& uuid) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < uuid.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += kHex[uuid[i] >> 4];
    text += kHex[uuid[i] & 15];
  }
  return text;
}

std::string Fixture(const std::string& name, const std::string& extension) {
  return std::string(KV_SMBIOS_FIXTURES) + "/" + name + extension;
}

// The value of a string field as the trusted decoder read it; empty for index 0.
std::string RawValue(const json& object, const char* field) {
  if (!object.contains("raw") || !object["raw"].contains(field)) return {};
  const json& value = object["raw"][field]["value"];
  return value.is_null() ? std::string() : value.get<std::string>();
}

class Fixtures : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    blob_ = ReadFile(Fixture(GetParam(), ".rsmb"));
    expected_ = json::parse(std::ifstream(Fixture(GetParam(), ".expected.json")));
    ASSERT_FALSE(blob_.empty());
  }
  Bytes blob_;
  json expected_;
};

TEST_P(Fixtures, FieldsEqualWhatTheTrustedDecoderRead) {
  const auto table = ReadRawSmbios(blob_);
  ASSERT_TRUE(table);
  EXPECT_EQ(table->version.major, expected_["rsmb"]["smbios_major_version"]);
  EXPECT_EQ(table->version.minor, expected_["rsmb"]["smbios_minor_version"]);
  EXPECT_EQ(table->bytes.size(), expected_["rsmb"]["length"]);
  const Walked walk = WalkAll(table->bytes);
  // Where the decoder found the table broken, the walk stops at the same place.
  const std::string stop = expected_["table"]["walk_stopped_by"];
  EXPECT_EQ(walk.end == WalkEnd::kMalformed, stop.starts_with("invalid")) << stop;
  EXPECT_EQ(walk.structures.size(), expected_["table"]["structures_walked"]);
  for (const char* type : {"0", "1", "2", "3", "11"}) {
    const auto count = std::count_if(walk.structures.begin(), walk.structures.end(),
                                     [&](const Structure& s) { return s.type == std::stoi(type); });
    EXPECT_EQ(count, expected_["table"]["type_counts"][type]) << "type " << type;
  }

  const json& system = expected_["system"];
  const json& bios = expected_["bios"];
  const json board = expected_["baseboard"].empty() ? json::object() : expected_["baseboard"][0];
  std::string oem;
  for (const json& s : expected_["oem_strings_raw"]) {
    if (oem.empty() && !IsPlaceholder(s["value"].get<std::string>())) oem = s["value"];
  }
  const std::string uuid = system["uuid"];
  const std::pair<Piece, std::string> fields[] = {
      {Piece::kSerialNumber, RawValue(system, "serial_number")},
      {Piece::kBoardSerialNumber, RawValue(board, "serial_number")},
      {Piece::kModel, RawValue(system, "product_name")},
      {Piece::kSupportId, uuid.starts_with("Not ") ? std::string() : uuid},
      {Piece::kProductNumber, RawValue(system, "sku_number")},
      {Piece::kBiosVersion, RawValue(bios, "version")},
      {Piece::kBiosDate, RawValue(bios, "release_date")},
      {Piece::kHardwareBom, RawValue(board, "version")},
      {Piece::kSoftwareBom, oem},
  };
  for (const auto& [piece, value] : fields) {
    const PieceSource& source = kPieces[kv::abi::IndexOf(piece)];
    if (source.field == Field::kUuid) {
      const auto system = Find(table->bytes, 1);
      const auto bytes = system ? SystemUuid(*system, table->version) : std::nullopt;
      EXPECT_EQ(bytes ? UuidText(*bytes) : std::string(), value);
    } else {
      EXPECT_EQ(FieldString(table->bytes, source), value)
          << "piece " << kv::abi::IndexOf(piece) + 1;
    }
  }
}

TEST_P(Fixtures, PiecesFitTheirBuffersAndHoldNoPlaceholder) {
  const auto table = ReadRawSmbios(blob_);
  ASSERT_TRUE(table);
  const auto pieces = IdentityPieces(*table);
  ASSERT_TRUE(pieces);
  for (std::size_t i = 0; i < pieces->size(); ++i) {
    const std::string_view piece = (*pieces)[i].View();
    EXPECT_LE(piece.size(), kv::abi::kPieceLengths[i]);
    EXPECT_TRUE(piece.empty() || !IsPlaceholder(piece)) << piece;
    EXPECT_TRUE(
        std::all_of(piece.begin(), piece.end(), [](char c) { return c >= 0x20 && c < 0x7F; }));
  }
}

INSTANTIATE_TEST_SUITE_P(Machines, Fixtures,
                         testing::Values("asus-ux305la", "beelink-eq12", "dell-precision-3620",
                                         "gigabyte-ga-ma74gmt-s2", "gigabyte-x399-aorus-xtreme",
                                         "hyperv-gen1-vm", "lenovo-thinkpad-t480s", "msi-ms-7816",
                                         "supermicro-x9dbl", "vmware-virtual-platform"),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(IdentityPieces, OfOneMachineInFull) {
  const Bytes blob = ReadFile(Fixture("lenovo-thinkpad-t480s", ".rsmb"));
  const auto pieces = IdentityPieces(*ReadRawSmbios(blob));
  ASSERT_TRUE(pieces);
  const std::array<std::string_view, 9> expected = {
      "PC131TBF",
      "L1HF9380025",
      "20L8S07A14",
      "2RB79K1A3R8V5A2WW4GRG781Q4",  // its UUID in base 32, worked out apart from this code
      "LENOVO_MT_20L8_BU_",
      "N22ET52W (",
      "01/16/2019",
      "SDK0J4",
      ""};
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ((*pieces)[i].View(), expected[i]);
}

TEST(IdentityPieces, PlaceholdersAndUnprogrammedUuidGiveNoValue) {
  const Bytes blob = ReadFile(Fixture("msi-ms-7816", ".rsmb"));
  const auto pieces = IdentityPieces(*ReadRawSmbios(blob));
  ASSERT_TRUE(pieces);
  EXPECT_EQ((*pieces)[kv::abi::IndexOf(Piece::kSerialNumber)].View(),
            "");  // "To be filled by O.E.M."
  // A UUID of all FF bytes, as the board's makers left it.
  EXPECT_EQ((*pieces)[kv::abi::IndexOf(Piece::kSupportId)].View(), "");
  EXPECT_EQ((*pieces)[kv::abi::IndexOf(Piece::kModel)].View(), "MS-7816");
}

// A real table whose UUID is all zeros, as other unprogrammed firmware leaves it: no support ID.
TEST(IdentityPieces, AllZeroUuidGivesNoSupportId) {
  Bytes blob = ReadFile(Fixture("lenovo-thinkpad-t480s", ".rsmb"));
  const auto system = Find(ReadRawSmbios(blob)->bytes, 1);
  ASSERT_TRUE(system);
  const auto uuid = static_cast<std::size_t>(system->formatted.data() - blob.data()) + 8;
  std::fill_n(blob.begin() + static_cast<std::ptrdiff_t>(uuid), 16, 0);
  const auto pieces = IdentityPieces(*ReadRawSmbios(blob));
  ASSERT_TRUE(pieces);
  EXPECT_EQ((*pieces)[kv::abi::IndexOf(Piece::kSupportId)].View(), "");
  EXPECT_EQ((*pieces)[kv::abi::IndexOf(Piece::kModel)].View(), "20L8S07A14");
}

// Decodes Crockford's base 32 back to bytes.
std::array<std::uint8_t, 16> FromBase32(const std::string& text) {
  static const std::string digits = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
  std::array<std::uint8_t, 16> bytes{};
  int bit = 0;
  for (const char c : text) {
    const auto value = digits.find(c);
    for (int i = 4; i >= 0 && bit < 128; --i, ++bit) {
      if ((value >> i) & 1) bytes[bit / 8] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
    }
  }
  return bytes;
}

TEST(SupportIdEncoding, Is26UnambiguousCharactersThatDecodeBack) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    kv::support_id::Uuid uuid;
    for (auto& b : uuid) b = static_cast<std::uint8_t>(random());
    const kv::support_id::Text encoded = kv::support_id::Encode(uuid);
    const std::string text(encoded.begin(), encoded.end());
    ASSERT_EQ(text.size(), 26u);
    EXPECT_EQ(text.find_first_of("ILOU"), std::string::npos);
    EXPECT_EQ(FromBase32(text), uuid);
  }
  const kv::support_id::Text zero = kv::support_id::Encode({});
  EXPECT_EQ(std::string(zero.begin(), zero.end()), "00000000000000000000000000");
}

TEST(SystemUuid, ByteOrderFollowsTheVersion) {
  Bytes system = {1, 24, 0, 0, 0, 0, 0, 0};
  for (std::uint8_t b = 1; b <= 16; ++b) system.push_back(b);
  const Structure s{1, system, {}};
  EXPECT_EQ(UuidText(*SystemUuid(s, {2, 5})), "01020304-0506-0708-090a-0b0c0d0e0f10");
  EXPECT_EQ(UuidText(*SystemUuid(s, {2, 6})), "04030201-0605-0807-090a-0b0c0d0e0f10");
  EXPECT_EQ(UuidText(*SystemUuid(s, {3, 0})), "04030201-0605-0807-090a-0b0c0d0e0f10");
  const Structure shortSystem{1, std::span(system).first(20), {}};
  EXPECT_FALSE(SystemUuid(shortSystem, {3, 0}));
}

struct BuildCase {
  const wchar_t* number;
  std::optional<std::uint32_t> revision;
  const char* shown;
};

class BuildIdentifiers : public testing::TestWithParam<BuildCase> {};

// The build buffer holds 10 characters; a cut number would pass for another build.
TEST_P(BuildIdentifiers, AreNeverCut) {
  EXPECT_EQ(BuildIdentifier(GetParam().number, GetParam().revision).View(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Builds, BuildIdentifiers,
                         testing::Values(BuildCase{L"26100", 4652, "26100.4652"},
                                         BuildCase{L"26100", 12345, "26100"},
                                         BuildCase{L"19045", std::nullopt, "19045"},
                                         BuildCase{L"7601", 0, "7601.0"},
                                         BuildCase{L"1234567890", 1, "1234567890"},
                                         BuildCase{L"12345678901", std::nullopt, ""},
                                         BuildCase{L"26x00", 1, ""}, BuildCase{L"", 1, ""}));

TEST(IsPlaceholder, KnowsWhatBoardsLeaveBehind) {
  for (const char* value :
       {"To Be Filled By O.E.M.", "to be filled by o.e.m.", "Default string", "  None ", "", "   ",
        "0123456789", "00000000", "XXXXXXXX", "x.x", "Not Specified", "System Serial Number"}) {
    EXPECT_TRUE(IsPlaceholder(value)) << value;
  }
  for (const char* value : {"PC131TBF", "0", "1.0", "A01", "None of these", "Dell System"}) {
    EXPECT_FALSE(IsPlaceholder(value)) << value;
  }
}

Bytes Raw(std::uint8_t major, std::uint8_t minor, const Bytes& table) {
  const auto n = static_cast<std::uint32_t>(table.size());
  Bytes blob = {0,
                major,
                minor,
                0,
                static_cast<std::uint8_t>(n),
                static_cast<std::uint8_t>(n >> 8),
                static_cast<std::uint8_t>(n >> 16),
                static_cast<std::uint8_t>(n >> 24)};
  blob.insert(blob.end(), table.begin(), table.end());
  return blob;
}

TEST(ReadRawSmbios, RefusesHeadersThatPromiseMoreThanThereIs) {
  EXPECT_FALSE(ReadRawSmbios(Bytes{}));
  EXPECT_FALSE(ReadRawSmbios(Bytes{0, 3, 0, 0, 5, 0, 0}));
  Bytes blob = Raw(3, 0, {1, 2, 3});
  blob[4] = 4;
  EXPECT_FALSE(ReadRawSmbios(blob));
  blob[7] = 0xFF;
  EXPECT_FALSE(ReadRawSmbios(blob));
  EXPECT_EQ(ReadRawSmbios(Raw(3, 0, {1, 2, 3}))->bytes.size(), 3u);
}

// A type 1 structure of the given length with strings "A" and "B".
Bytes SystemStructure(std::uint8_t length = 8) {
  Bytes s(length, 0);
  s[0] = 1;
  s[1] = length;
  if (length > 5) s[5] = 1;
  if (length > 7) s[7] = 2;
  s.insert(s.end(), {'A', 0, 'B', 0, 0});
  return s;
}

struct MalformedCase {
  const char* name;
  Bytes table;
  std::size_t structures;  // read before the walk stopped
  WalkEnd end;
};

class MalformedTables : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedTables, StopSafelyKeepingWhatCameBefore) {
  const Walked walk = WalkAll(GetParam().table);
  EXPECT_EQ(walk.structures.size(), GetParam().structures);
  EXPECT_EQ(walk.end, GetParam().end);
  // Whatever was kept reads safely.
  for (const Structure& s : walk.structures) {
    for (std::size_t offset = 0; offset < 300; ++offset) static_cast<void>(s.String(offset));
  }
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, MalformedTables,
    testing::Values(
        MalformedCase{"empty", {}, 0, WalkEnd::kEndOfTable},
        MalformedCase{"one_good", SystemStructure(), 1, WalkEnd::kEndOfTable},
        MalformedCase{"end_marker_stops",
                      Join({SystemStructure(), {127, 4, 0, 0, 0, 0}, SystemStructure()}), 2,
                      WalkEnd::kEndMarker},
        MalformedCase{"length_under_header", Join({SystemStructure(), {1, 3, 0, 0, 0, 0}}), 1,
                      WalkEnd::kMalformed},
        MalformedCase{"zero_length_loop", Bytes(64, 0), 0, WalkEnd::kMalformed},
        MalformedCase{"length_past_end", Join({SystemStructure(), {1, 200, 0, 0, 0, 0}}), 1,
                      WalkEnd::kMalformed},
        MalformedCase{"no_double_nul", Join({SystemStructure(), {1, 4, 0, 0, 'A', 0, 'B'}}), 1,
                      WalkEnd::kMalformed},
        MalformedCase{"formatted_to_the_end", Join({SystemStructure(), {1, 4, 0, 0}}), 1,
                      WalkEnd::kMalformed},
        MalformedCase{"trailing_bytes", Join({SystemStructure(), {1, 4}}), 1, WalkEnd::kMalformed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Structure, StringIndexZeroOrPastTheSetIsEmpty) {
  Bytes table = SystemStructure(26);
  table[6] = 3;     // past the two strings
  table[0x19] = 0;  // none
  const Walked walk = WalkAll(table);
  ASSERT_EQ(walk.structures.size(), 1u);
  const Structure& s = walk.structures[0];
  EXPECT_EQ(s.String(5), "A");
  EXPECT_EQ(s.String(7), "B");
  EXPECT_EQ(s.String(6), "");
  EXPECT_EQ(s.String(0x19), "");
  EXPECT_EQ(s.String(1000), "");
  EXPECT_EQ(s.Byte(26), 0);
}

TEST(IdentityPieces, NeedASystemStructure) {
  const Bytes noSystem = Raw(3, 0, {0, 4, 0, 0, 0, 0});
  EXPECT_FALSE(IdentityPieces(*ReadRawSmbios(noSystem)));
  const Bytes system = Raw(2, 4, SystemStructure());
  const auto pieces = IdentityPieces(*ReadRawSmbios(system));
  ASSERT_TRUE(pieces);
  EXPECT_EQ((*pieces)[kv::abi::IndexOf(Piece::kModel)].View(), "A");
  EXPECT_EQ((*pieces)[kv::abi::IndexOf(Piece::kSerialNumber)].View(), "B");
}

TEST(IdentityPieces, UnprintableBytesBecomeQuestionMarksAndLongValuesAreCut) {
  Bytes table = SystemStructure();
  table.resize(8);
  const std::string serial = "S\x01\xE9N-0123456789-LONG";
  table.insert(table.end(), {'M', 0});
  table.insert(table.end(), serial.begin(), serial.end());
  table.insert(table.end(), {0, 0});
  const auto pieces = IdentityPieces(*ReadRawSmbios(Raw(3, 0, table)));
  ASSERT_TRUE(pieces);
  EXPECT_EQ((*pieces)[kv::abi::IndexOf(Piece::kSerialNumber)].View(), "S??N-0123456");
}

}  // namespace
}  // namespace tovramix
