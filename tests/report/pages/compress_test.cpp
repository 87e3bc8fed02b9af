#include "report/pages/compress.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "report/pages/error.h"

namespace report {
namespace {

std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t>& input) {
  MemoryStream out;
  {
    TQRCompress coder(out, true);
    for (std::uint8_t byte : input) coder.Encode(byte);
  }  // freeing the coder writes the last partial byte
  return out.Bytes();
}

struct Vector {
  const char* name;
  std::vector<std::uint8_t> input;
  std::vector<std::uint8_t> coded;
};

std::vector<std::uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

TEST(QRCompress, CodesTheKnownVectorsByteForByte) {
  const Vector vectors[] = {
      {"single zero", {0x00}, {0x80}},
      {"single 255 (nine-bit code)", {0xFF}, {0x00, 0x00}},
      {"abc", Text("abc"), {0x46, 0x3D, 0x01}},
      {"aaaa", Text("aaaa"), {0x46, 0x45}},
      {"bytes 0 to 7", {0, 1, 2, 3, 4, 5, 6, 7}, {0x80, 0x17, 0x2B, 0x0B, 0x05, 0x00}},
      {"text line",
       Text("Hello, World!\r\n"),
       {0x92, 0x61, 0x5A, 0x54, 0x80, 0x76, 0x73, 0x44, 0x6C, 0x7A, 0xAF, 0x52, 0x72, 0x6E}},
      {"nothing", {}, {}},
  };
  for (const Vector& v : vectors) EXPECT_EQ(Encode(v.input), v.coded) << v.name;
}

TEST(QRCompress, WritesAFullByteAtOnceAndThePartialOneOnlyWhenFinished) {
  MemoryStream out;
  TQRCompress coder(out, true);
  coder.Encode(0xFF);  // nine zero bits: one byte goes out at the eighth
  EXPECT_EQ(out.Bytes(), (std::vector<std::uint8_t>{0x00}));
  coder.Finish();
  EXPECT_EQ(out.Bytes(), (std::vector<std::uint8_t>{0x00, 0x00}));
  coder.Finish();  // and only once
  EXPECT_EQ(out.Bytes().size(), 2u);
}

TEST(QRCompress, StartingTreeGivesEightBitCodesAndNineFor255) {
  for (int value = 0; value < 256; ++value) {
    MemoryStream out;
    TQRCompress coder(out, true);
    coder.Encode(static_cast<std::uint8_t>(value));
    EXPECT_EQ(out.Bytes().size(), 1u) << value;  // eight or nine bits both fill one byte
    coder.Finish();
    EXPECT_EQ(out.Bytes().size(), value == 255 ? 2u : 1u) << value;
  }
}

TEST(QRCompress, DecodesWhatItCodedAndConsumesExactlyTheCodedBytes) {
  std::mt19937 random(15);
  const std::uint8_t tail[4] = {0xDE, 0xAD, 0xBE, 0xEF};
  for (int round = 0; round < 300; ++round) {
    const std::size_t length = random() % 2000;
    const int alphabet = 1 + static_cast<int>(random() % 256);  // skewed and uniform data alike
    std::vector<std::uint8_t> input(length);
    for (auto& byte : input) byte = static_cast<std::uint8_t>(random() % alphabet);
    std::vector<std::uint8_t> coded = Encode(input);
    const std::size_t codedLength = coded.size();
    coded.insert(coded.end(), tail, tail + 4);  // the record tail follows directly

    MemoryStream in;
    in.WriteExact(coded.data(), coded.size());
    in.SetPosition(0);
    TQRCompress decoder(in, false);
    std::vector<std::uint8_t> decoded;
    for (std::size_t i = 0; i < length; ++i) decoded.push_back(decoder.Decode());
    ASSERT_EQ(decoded, input) << "round " << round;
    ASSERT_EQ(in.Position(), static_cast<std::int64_t>(codedLength)) << "round " << round;
  }
}

TEST(QRCompress, DecoderRunningOutOfBytesRaisesAStreamError) {
  MemoryStream in;
  const std::uint8_t byte = 0x80;
  in.WriteExact(&byte, 1);
  in.SetPosition(0);
  TQRCompress decoder(in, false);
  EXPECT_EQ(decoder.Decode(), 0x00);
  EXPECT_THROW(decoder.Decode(), StreamError);
}

TEST(QRCompress, DecoderRefusesTheLeafThatStandsForNoByte) {
  // Eight zero bits and a one lead from the starting root to leaf 512.
  MemoryStream in;
  const std::uint8_t bytes[2] = {0x00, 0x01};
  in.WriteExact(bytes, 2);
  in.SetPosition(0);
  TQRCompress decoder(in, false);
  EXPECT_THROW(decoder.Decode(), EQRError);
}

}  // namespace
}  // namespace report
