// Adaptive splay-tree bit coder for one page's metafile bytes: a prefix code
// whose tree is semi-splayed after every symbol, so frequent bytes get short
// codes. Bits go out root first, packed from the least significant bit.
#pragma once

#include <cstdint>

#include "report/pages/streams.h"

namespace report {

class TQRCompress {
 public:
  // A fresh coder on stream (not owned); compressing selects writing or decoding.
  TQRCompress(ByteStream& stream, bool compressing);
  // A compressing coder that was not finished writes its last partial byte
  // here, and swallows a failure: call Finish to see it.
  ~TQRCompress();
  TQRCompress(const TQRCompress&) = delete;
  TQRCompress& operator=(const TQRCompress&) = delete;

  void Encode(std::uint8_t value);
  std::uint8_t Decode();
  // Writes the last partial byte, padded with zero bits, if there is one.
  void Finish();

  ByteStream& Stream;
  std::uint16_t LeftChild[256];
  std::uint16_t RightChild[256];
  std::uint8_t UpLink[513];

 private:
  void Splay(int symbol);

  bool compressing_;
  bool finished_ = false;
  std::uint8_t bitPosition_;
  std::uint16_t inByte_ = 0;
  std::uint16_t outByte_ = 0;
};

}  // namespace report
