#include "report/pages/compress.h"

#include "report/pages/error.h"

namespace report {

namespace {
constexpr int kLeafBase = 256;
// A path from a leaf to the root passes at most every inner node once.
constexpr int kMaxCodeLength = 256;
}  // namespace

TQRCompress::TQRCompress(ByteStream& stream, bool compressing)
    : Stream(stream), compressing_(compressing), bitPosition_(compressing ? 0 : 7) {
  UpLink[0] = 0;
  for (int i = 1; i <= 512; ++i) UpLink[i] = static_cast<std::uint8_t>((i - 1) / 2);
  for (int i = 0; i < 256; ++i) {
    LeftChild[i] = static_cast<std::uint16_t>(2 * i + 1);
    RightChild[i] = static_cast<std::uint16_t>(2 * i + 2);
  }
}

TQRCompress::~TQRCompress() {
  try {
    Finish();
  } catch (...) {
  }
}

void TQRCompress::Finish() {
  if (!compressing_ || finished_) return;
  finished_ = true;
  if (bitPosition_ != 0) {
    const auto byte = static_cast<std::uint8_t>(outByte_);
    Stream.WriteExact(&byte, 1);
  }
}

void TQRCompress::Splay(int symbol) {
  int a = symbol + kLeafBase;
  do {
    const int p = UpLink[a];
    if (p != 0) {
      const int g = UpLink[p];
      int b = LeftChild[g];
      if (b == p) {
        b = RightChild[g];
        RightChild[g] = static_cast<std::uint16_t>(a);
      } else {
        LeftChild[g] = static_cast<std::uint16_t>(a);
      }
      if (a == LeftChild[p])
        LeftChild[p] = static_cast<std::uint16_t>(b);
      else
        RightChild[p] = static_cast<std::uint16_t>(b);
      UpLink[a] = static_cast<std::uint8_t>(g);
      UpLink[b] = static_cast<std::uint8_t>(p);
      a = g;
    } else {
      a = 0;
    }
  } while (a != 0);
}

void TQRCompress::Encode(std::uint8_t value) {
  bool bits[kMaxCodeLength];
  int length = 0;
  for (int node = value + kLeafBase; node != 0; node = UpLink[node])
    bits[length++] = RightChild[UpLink[node]] == node;
  while (length > 0) {
    if (bits[--length]) outByte_ |= static_cast<std::uint16_t>(1u << bitPosition_);
    if (bitPosition_ == 7) {
      const auto byte = static_cast<std::uint8_t>(outByte_);
      Stream.WriteExact(&byte, 1);
      bitPosition_ = 0;
      outByte_ = 0;
    } else {
      ++bitPosition_;
    }
  }
  Splay(value);
}

std::uint8_t TQRCompress::Decode() {
  int node = 0;
  while (node < kLeafBase) {
    if (bitPosition_ == 7) {
      std::uint8_t byte;
      Stream.ReadExact(&byte, 1);
      inByte_ = byte;
      bitPosition_ = 0;
    } else {
      ++bitPosition_;
    }
    node = (inByte_ & (1u << bitPosition_)) ? RightChild[node] : LeftChild[node];
  }
  const int value = node - kLeafBase;
  // Leaf 512 stands for no byte: only damaged data leads there.
  if (value > 255) throw EQRError("The report page data is damaged");
  Splay(value);
  return static_cast<std::uint8_t>(value);
}

}  // namespace report
