#include "report/pages/metafile_image.h"

#include "report/pages/streams.h"

namespace report {

std::string MetafileImageFault(std::span<const std::uint8_t> header, std::int64_t expectedLength) {
  if (expectedLength < static_cast<std::int64_t>(kEmfMinimalHeaderSize) ||
      header.size() < kEmfMinimalHeaderSize)
    return "the page is too short for a metafile";
  if (static_cast<std::uint32_t>(LoadInt32(header.data())) != kEmrHeaderType ||
      static_cast<std::uint32_t>(LoadInt32(header.data() + kEmfSignatureOffset)) != kEmfSignature)
    return "the page is not an enhanced metafile";
  if (static_cast<std::uint32_t>(LoadInt32(header.data() + kEmfLengthOffset)) != expectedLength)
    return "the page's metafile length does not match its record";
  return {};
}

}  // namespace report
