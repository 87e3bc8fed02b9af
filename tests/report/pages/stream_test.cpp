#include "report/pages/stream.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "tests/report/pages/memory_files.h"

namespace report {
namespace {

using testing::MemoryFiles;

std::vector<std::uint8_t> Pattern(std::size_t length, std::uint8_t seed = 0) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + seed);
  return bytes;
}

TEST(QRStream, StaysInMemoryUpToTheLimitAndSpillsOneByteLater) {
  MemoryFiles files;
  {
    TQRStream stream(files, 100000);
    const auto bytes = Pattern(100000);
    stream.WriteExact(bytes.data(), bytes.size());
    EXPECT_TRUE(stream.InMemory());
    EXPECT_TRUE(files.files.empty());

    const std::uint8_t one = 0x5A;
    EXPECT_EQ(stream.Write(&one, 1), 1u);
    EXPECT_FALSE(stream.InMemory());
    ASSERT_EQ(files.files.size(), 1u);
    const std::string name = stream.TemporaryFileName();
    EXPECT_EQ(name.rfind("QRP", 0), 0u) << name;
    std::vector<std::uint8_t> expected = bytes;
    expected.push_back(one);
    EXPECT_EQ(files.Bytes(name), expected);
  }
  EXPECT_TRUE(files.files.empty()) << "the temporary file outlived its stream";
}

TEST(QRStream, KeepsTheExactPositionAcrossTheSpill) {
  MemoryFiles files;
  TQRStream stream(files, 100);
  const auto bytes = Pattern(90);
  stream.WriteExact(bytes.data(), bytes.size());
  // Overwrite in the middle with a block that reaches past the limit.
  stream.SetPosition(50);
  const auto block = Pattern(60, 100);
  stream.WriteExact(block.data(), block.size());
  ASSERT_FALSE(stream.InMemory());
  EXPECT_EQ(stream.Position(), 110);

  stream.SetPosition(20);
  const auto moreAfterSpill = Pattern(5, 200);
  stream.WriteExact(moreAfterSpill.data(), moreAfterSpill.size());
  EXPECT_EQ(stream.Position(), 25);

  std::vector<std::uint8_t> expected = bytes;
  expected.resize(110);
  std::copy(block.begin(), block.end(), expected.begin() + 50);
  std::copy(moreAfterSpill.begin(), moreAfterSpill.end(), expected.begin() + 20);
  EXPECT_EQ(files.Bytes(stream.TemporaryFileName()), expected);
  EXPECT_EQ(stream.Size(), 110);
}

TEST(QRStream, SpillFailureKeepsTheContentInMemory) {
  MemoryFiles files;
  files.failTemporary = true;
  TQRStream stream(files, 10);
  const auto bytes = Pattern(11);
  EXPECT_THROW(stream.Write(bytes.data(), bytes.size()), fw::Exception);
  EXPECT_TRUE(stream.InMemory());
  files.failTemporary = false;
  const std::uint8_t one = 1;
  stream.WriteExact(&one, 1);
  ASSERT_FALSE(stream.InMemory());
  std::vector<std::uint8_t> expected = bytes;
  expected.push_back(one);
  EXPECT_EQ(files.Bytes(stream.TemporaryFileName()), expected);
}

TEST(QRStream, CopyGivesIdenticalBytesInMemoryAndInTheFile) {
  for (std::size_t length : {std::size_t{0}, std::size_t{10240}, std::size_t{25000}}) {
    for (std::int32_t limit : {1000000, 100}) {
      MemoryFiles files;
      TQRStream stream(files, limit);
      const auto bytes = Pattern(length, 3);
      stream.WriteExact(bytes.data(), bytes.size());
      MemoryStream target;
      stream.CopyTo(target);
      EXPECT_EQ(target.Bytes(), bytes) << length << " bytes, limit " << limit;
    }
  }
}

TEST(QRStream, FileConstructorReadsAnExistingFileAndNeverWritesIt) {
  MemoryFiles files;
  files.Put("saved.qrp", Pattern(300));
  TQRStream stream(files, "saved.qrp");
  EXPECT_FALSE(stream.InMemory());
  EXPECT_EQ(stream.MemoryLimit(), 0);
  EXPECT_EQ(stream.Size(), 300);
  stream.SetPosition(299);
  std::uint8_t last = 0;
  EXPECT_EQ(stream.Read(&last, 1), 1u);
  EXPECT_EQ(last, Pattern(300)[299]);
  EXPECT_THROW(stream.WriteExact(&last, 1), StreamError);
  EXPECT_THROW(TQRStream(files, "missing.qrp"), fw::Exception);
}

}  // namespace
}  // namespace report
