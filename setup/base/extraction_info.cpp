#include "setup/base/extraction_info.h"

#include <fstream>
#include <limits>
#include <vector>

#include "setup/base/binary_fields.h"
#include "setup/base/exceptions.h"

namespace setup {
namespace {

constexpr char kMagic[] = "SELFEXTRACTING";
constexpr std::size_t kSetupStartAt = 16, kSetupEndAt = 20, kFilesStartAt = 24, kFilesEndAt = 28;


bool FitsField(std::int64_t offset) {
  return offset >= std::numeric_limits<std::int32_t>::min() &&
         offset <= std::numeric_limits<std::int32_t>::max();
}

// One embedded part: its first and last byte lie within the bytes before the
// trailer, in order.
bool PartInside(std::int64_t start, std::int64_t end, std::int64_t contentSize) {
  return start >= 0 && start <= end && end < contentSize;
}

}  // namespace

void ExtractionInfoUnreadable(const std::string& path) {
  throw IEInstall(
      "Could not read the extraction info from the archive file %s when trying to find the correct offset "
      "into the "
      "self extracting file",
      {path});
}

std::array<std::uint8_t, kExtractionInfoSize> EncodeExtractionInfo(const TExtractionInfo& info) {
  for (const std::int64_t offset : {info.SetupStart, info.SetupEnd, info.FilesStart, info.FilesEnd}) {
    if (!FitsField(offset)) {
      throw IEInstall("The offset %s does not fit into the extraction info of the self extracting file",
                      {std::to_string(offset)});
    }
  }
  std::array<std::uint8_t, kExtractionInfoSize> bytes{};
  bytes[0] = sizeof kMagic - 1;
  for (std::size_t i = 0; i + 1 < sizeof kMagic; ++i) bytes[1 + i] = static_cast<std::uint8_t>(kMagic[i]);
  binary::Put32(&bytes[kSetupStartAt], static_cast<std::uint32_t>(info.SetupStart));
  binary::Put32(&bytes[kSetupEndAt], static_cast<std::uint32_t>(info.SetupEnd));
  binary::Put32(&bytes[kFilesStartAt], static_cast<std::uint32_t>(info.FilesStart));
  binary::Put32(&bytes[kFilesEndAt], static_cast<std::uint32_t>(info.FilesEnd));
  return bytes;
}

TExtractionInfo DecodeExtractionInfo(std::span<const std::uint8_t> trailer, std::int64_t fileSize,
                                     const std::string& path) {
  if (trailer.size() < kExtractionInfoSize || fileSize < static_cast<std::int64_t>(kExtractionInfoSize)) {
    ExtractionInfoUnreadable(path);
  }
  const std::uint8_t* bytes = trailer.data() + (trailer.size() - kExtractionInfoSize);
  const auto field = [&](std::size_t at) {
    return static_cast<std::int64_t>(static_cast<std::int32_t>(binary::Get32(bytes + at)));
  };
  TExtractionInfo info{field(kSetupStartAt), field(kSetupEndAt), field(kFilesStartAt), field(kFilesEndAt)};
  // The offsets go straight into seeks and copies: a damaged trailer must
  // not send them outside the file.
  const std::int64_t contentSize = fileSize - static_cast<std::int64_t>(kExtractionInfoSize);
  if (!PartInside(info.SetupStart, info.SetupEnd, contentSize)) ExtractionInfoUnreadable(path);
  if (info.HasFiles() ? !PartInside(info.FilesStart, info.FilesEnd, contentSize) : info.FilesEnd != 0) {
    ExtractionInfoUnreadable(path);
  }
  return info;
}

TExtractionInfo ReadExtractionInfo(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) ExtractionInfoUnreadable(path);
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < static_cast<std::streamoff>(kExtractionInfoSize)) ExtractionInfoUnreadable(path);
  in.seekg(size - static_cast<std::streamoff>(kExtractionInfoSize));
  std::array<std::uint8_t, kExtractionInfoSize> trailer{};
  if (!in.read(reinterpret_cast<char*>(trailer.data()), trailer.size())) ExtractionInfoUnreadable(path);
  return DecodeExtractionInfo(trailer, size, path);
}

}  // namespace setup
