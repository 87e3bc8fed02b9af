// Small enhanced-metafile images for page store tests: a header that records
// the image's length, filler records and the end record.
#pragma once

#include <cstdint>
#include <vector>

#include "report/pages/streams.h"

namespace report::testing {

// A metafile image of 108 + fillerRecords * 16 + 20 bytes; seed varies the filler.
inline std::vector<std::uint8_t> MetafileImage(int fillerRecords = 0, std::uint8_t seed = 0) {
  const std::size_t length = 108 + static_cast<std::size_t>(fillerRecords) * 16 + 20;
  std::vector<std::uint8_t> image(length, 0);
  StoreInt32(&image[0], 1);      // EMR_HEADER
  StoreInt32(&image[4], 108);    // header size
  StoreInt32(&image[24], 2100);  // frame, in 0.01 mm
  StoreInt32(&image[28], 2970);
  StoreInt32(&image[40], 0x464D4520);
  StoreInt32(&image[44], 0x10000);
  StoreInt32(&image[48], static_cast<std::int32_t>(length));
  StoreInt32(&image[52], fillerRecords + 2);
  image[56] = 1;  // handles
  for (int r = 0; r < fillerRecords; ++r) {
    std::uint8_t* record = &image[108 + static_cast<std::size_t>(r) * 16];
    StoreInt32(record, 27);  // EMR_MOVETOEX
    StoreInt32(record + 4, 16);
    StoreInt32(record + 8, static_cast<std::int32_t>((seed * 31 + r * 7) % 1000));
    StoreInt32(record + 12, static_cast<std::int32_t>((seed * 17 + r * 3) % 1400));
  }
  std::uint8_t* end = &image[length - 20];
  StoreInt32(end, 14);  // EMR_EOF
  StoreInt32(end + 4, 20);
  StoreInt32(end + 12, 16);
  StoreInt32(end + 16, 20);
  return image;
}

}  // namespace report::testing
