#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include "setup/base/exceptions.h"
#include "setup/base/extraction_info.h"
#include "setup/base/net_file_list.h"

namespace setup {
namespace {

using Bytes = std::vector<std::uint8_t>;

const char kTrailerMessage[] =
    "Could not read the extraction info from the archive file %s when trying to find the correct offset into "
    "the "
    "self extracting file";

std::string TrailerMessage(const std::string& path) { return fw::Format(kTrailerMessage, {path}); }
std::string ListMessage(const std::string& path) { return "Cannot read the remote list of files: " + path; }

Bytes Le32(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
          static_cast<std::uint8_t>(u >> 24)};
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

const Bytes kMagic = {0x0E, 'S', 'E', 'L', 'F', 'E', 'X', 'T', 'R', 'A', 'C', 'T', 'I', 'N', 'G', 0x00};

Bytes Trailer(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, const Bytes& magic = kMagic) {
  return Join({magic, Le32(a), Le32(b), Le32(c), Le32(d), Bytes(24, 0)});
}

template <class Call>
void ExpectInstallError(Call call, const std::string& message) {
  try {
    call();
    ADD_FAILURE() << "no exception; expected " << message;
  } catch (const IEInstall& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(ExtractionInfo, WriterGivesTheFixedBytes) {
  const TExtractionInfo info{70000, 80999, 81000, 0x01020304};
  const auto bytes = EncodeExtractionInfo(info);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), Trailer(70000, 80999, 81000, 0x01020304));
  EXPECT_EQ(bytes.size(), 56u);
  EXPECT_EQ(bytes[28], 0x04);
  EXPECT_EQ(bytes[31], 0x01);
  // The reader gives the same offsets back from a file that holds them.
  const std::int64_t fileSize = 0x01020304 + 1 + 56;
  EXPECT_EQ(DecodeExtractionInfo(bytes, fileSize, "setup.exe"), info);
}

TEST(ExtractionInfo, WithoutFilesOneTheLastOffsetsAreZero) {
  const auto bytes = EncodeExtractionInfo({1000, 1999, 0, 0});
  EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), Trailer(1000, 1999, 0, 0));
  const TExtractionInfo read = DecodeExtractionInfo(bytes, 2000 + 56, "setup.exe");
  EXPECT_FALSE(read.HasFiles());
  EXPECT_EQ(read.FilesEnd, 0);
}

TEST(ExtractionInfo, MagicIsNotCompared) {
  const Bytes garbage(16, 0xAB);
  const TExtractionInfo read = DecodeExtractionInfo(Trailer(10, 19, 20, 29, garbage), 30 + 56, "x");
  EXPECT_EQ(read, (TExtractionInfo{10, 19, 20, 29}));
}

TEST(ExtractionInfo, WriterRefusesOffsetsBeyondItsFields) {
  const std::int64_t tooFar = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  EXPECT_THROW(EncodeExtractionInfo({0, tooFar, 0, 0}), IEInstall);
  EXPECT_THROW(EncodeExtractionInfo({0, 1, std::int64_t{std::numeric_limits<std::int32_t>::min()} - 1, 0}),
               IEInstall);
  EXPECT_NO_THROW(EncodeExtractionInfo({0, std::numeric_limits<std::int32_t>::max(), 0, 0}));
}

TEST(ExtractionInfo, DamagedOffsetsGiveTheTrailersMessage) {
  // A file of 100 bytes before its trailer.
  const std::int64_t fileSize = 100 + 56;
  struct Case {
    const char* what;
    Bytes trailer;
  };
  const Case cases[] = {
      {"setup.1 starts after its end", Trailer(50, 49, 0, 0)},
      {"setup.1 ends in the trailer", Trailer(10, 100, 0, 0)},
      {"setup.1 starts before the file", Trailer(-1, 20, 0, 0)},
      {"setup.1 ends below zero", Trailer(-9, -2, 0, 0)},
      {"files.1 starts after its end", Trailer(10, 19, 40, 39)},
      {"files.1 ends past the file", Trailer(10, 19, 20, 0x7FFFFFFF)},
      {"files.1 starts below zero", Trailer(10, 19, -20, 30)},
      {"no files.1 but an end", Trailer(10, 19, 0, 30)},
      {"largest negative", Trailer(std::numeric_limits<std::int32_t>::min(), 0, 0, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectInstallError([&] { DecodeExtractionInfo(c.trailer, fileSize, "C:\\setup.exe"); },
                       TrailerMessage("C:\\setup.exe"));
  }
  // The edges themselves are fine: a part may end on the last byte before the trailer.
  EXPECT_NO_THROW(DecodeExtractionInfo(Trailer(0, 50, 51, 99), fileSize, "x"));
  EXPECT_NO_THROW(DecodeExtractionInfo(Trailer(99, 99, 0, 0), fileSize, "x"));
}

TEST(ExtractionInfo, ShortAndMissingFilesGiveTheTrailersMessage) {
  const std::string dir = (std::filesystem::temp_directory_path() / "setup_formats_test").string();
  std::filesystem::create_directories(dir);
  const std::string shortFile = dir + "/short.exe";
  WriteFile(shortFile, Bytes(55, 0));
  ExpectInstallError([&] { ReadExtractionInfo(shortFile); }, TrailerMessage(shortFile));
  const std::string missing = dir + "/missing.exe";
  std::filesystem::remove(missing);
  ExpectInstallError([&] { ReadExtractionInfo(missing); }, TrailerMessage(missing));
  ExpectInstallError([&] { DecodeExtractionInfo(Bytes(55, 0), 55, "p"); }, TrailerMessage("p"));

  // A whole self-extracting file: loader, setup.1, files.1, trailer.
  const std::string whole = dir + "/setup.exe";
  Bytes content(300, 'L');
  const auto trailer = EncodeExtractionInfo({100, 199, 200, 299});
  content.insert(content.end(), trailer.begin(), trailer.end());
  WriteFile(whole, content);
  EXPECT_EQ(ReadExtractionInfo(whole), (TExtractionInfo{100, 199, 200, 299}));
  std::filesystem::remove_all(dir);
}

// One record written by hand, field by field.
Bytes Record(std::int32_t size, double date, const std::string& name, const std::string& version) {
  Bytes r(72, 0);
  std::memcpy(&r[0], Le32(size).data(), 4);
  std::uint64_t bits;
  std::memcpy(&bits, &date, 8);
  for (int i = 0; i < 8; ++i) r[4 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  std::memcpy(&r[12], name.data(), std::min<std::size_t>(name.size(), 40));
  std::memcpy(&r[52], version.data(), std::min<std::size_t>(version.size(), 20));
  return r;
}

TEST(NetFileList, RecordIsPinnedByteForByte) {
  // 36525.5 is 1 January 2000, noon: 0x40E1D5B000000000.
  const Bytes expected = Join({Le32(1),
                               Le32(123456),
                               {0, 0, 0, 0, 0xB0, 0xD5, 0xE1, 0x40},
                               Bytes{'T', 'a', 'l', 'l', 'i', 'm', 'o'},
                               Bytes(33, 0),
                               Bytes{'1', '2', '3', '4', '5', '.', '7', '8', '9', '0',
                                     '1', '2', '3', '4', '5', '6', '7', '8', '9', '0'}});
  ASSERT_EQ(expected.size(), 4u + 72u);
  const TNetFileRecord record{123456, 36525.5, "Tallimo", "12345.78901234567890"};
  EXPECT_EQ(EncodeNetFileList({record}), expected);
  const auto read = DecodeNetFileList(expected, "list");
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0], record);
  EXPECT_EQ(read[0].Version.size(), 20u);
}

TEST(NetFileList, RoundTripOfSeveralRecords) {
  const std::vector<TNetFileRecord> records = {
      {0, 0.0, "", ""},
      {-1, -693593.25, std::string(39, 'n'), "1.0"},
      {2147483647, 2958465.999, "Help", std::string(19, 'v')},
  };
  const auto bytes = EncodeNetFileList(records);
  EXPECT_EQ(bytes.size(), 4u + 3 * 72u);
  EXPECT_EQ(DecodeNetFileList(bytes, "list"), records);
  EXPECT_TRUE(DecodeNetFileList(EncodeNetFileList({}), "list").empty());
}

TEST(NetFileList, WriterRefusesLongNamesAndCutsVersions) {
  EXPECT_THROW(EncodeNetFileList({{1, 1.0, std::string(40, 'n'), "1"}}), IEInstall);
  const auto bytes = EncodeNetFileList({{1, 1.0, "a", std::string(25, '9')}});
  EXPECT_EQ(DecodeNetFileList(bytes, "list")[0].Version, std::string(20, '9'));
}

TEST(NetFileList, DamagedListsGiveTheListsMessage) {
  const Bytes good = Record(5, 36000.0, "Tallimo", "1.0");
  Bytes noTerminator = good;
  std::memset(&noTerminator[12], 'x', 40);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"empty file", {}},
      {"short count", {1, 0, 0}},
      {"count 3, two records", Join({Le32(3), good, good})},
      {"count 1, a short record", Join({Le32(1), Bytes(good.begin(), good.end() - 1)})},
      {"negative count", Join({Le32(-1), good})},
      {"huge count", Join({Le32(0x7FFFFFFF), good})},
      {"name without terminator", Join({Le32(1), noTerminator})},
      {"date not a number", Join({Le32(1), Record(5, nan, "a", "")})},
      {"date infinite", Join({Le32(1), Record(5, inf, "a", "")})},
      {"date before year 1", Join({Le32(1), Record(5, -693594.0, "a", "")})},
      {"date after year 9999", Join({Le32(1), Record(5, 2958466.0, "a", "")})},
      {"second record bad", Join({Le32(2), good, Record(5, 1e300, "a", "")})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectInstallError([&] { DecodeNetFileList(c.bytes, "C:\\TEMP\\bat1.tmp"); },
                       ListMessage("C:\\TEMP\\bat1.tmp"));
  }
  // Bytes after the counted records are not read.
  EXPECT_EQ(DecodeNetFileList(Join({Le32(1), good, Bytes(10, 0xFF)}), "l").size(), 1u);
}

TEST(NetFileList, FilesOnDisk) {
  const std::string dir = (std::filesystem::temp_directory_path() / "setup_netlist_test").string();
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/filelist.lst";
  const std::vector<TNetFileRecord> records = {{10, 36525.0, "Help", "2.0"}};
  WriteFile(path, EncodeNetFileList(records));
  EXPECT_EQ(ReadNetFileList(path), records);
  std::filesystem::remove(path);
  ExpectInstallError([&] { ReadNetFileList(path); }, ListMessage(path));
  std::filesystem::remove_all(dir);
}

TEST(NetFileList, RecordsMatchTheFirstNameIgnoringCase) {
  const std::vector<TNetFileRecord> records = {
      {1, 1, "TALLIMO", "1"}, {2, 2, "nothing", "2"}, {3, 3, "help", "3"}, {4, 4, "Tallimo.", "4"}};
  const std::vector<std::string> names = {"Readme", "Tallimo", "Help", "tallimo"};
  const auto matches = MatchNetFileRecords(records, names);
  ASSERT_EQ(matches.size(), 4u);
  EXPECT_EQ(matches[0], std::optional<std::size_t>(1));
  EXPECT_EQ(matches[1], std::nullopt);
  EXPECT_EQ(matches[2], std::optional<std::size_t>(2));
  EXPECT_EQ(matches[3], std::nullopt);
}

}  // namespace
}  // namespace setup
