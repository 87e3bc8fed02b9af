// The trailer reader over whole files: the input is the self-extracting file.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "setup/base/exceptions.h"
#include "setup/base/extraction_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  try {
    const auto tail = size >= setup::kExtractionInfoSize ? file.last(setup::kExtractionInfoSize) : file;
    const setup::TExtractionInfo info =
        setup::DecodeExtractionInfo(tail, static_cast<std::int64_t>(size), "f");
    // Whatever was accepted lies inside the file and writes back the same.
    const auto content = static_cast<std::int64_t>(size - setup::kExtractionInfoSize);
    if (info.SetupStart < 0 || info.SetupEnd >= content || info.SetupStart > info.SetupEnd) std::abort();
    if (info.HasFiles() && (info.FilesStart > info.FilesEnd || info.FilesEnd >= content)) std::abort();
    const auto again = setup::EncodeExtractionInfo(info);
    if (setup::DecodeExtractionInfo(again, static_cast<std::int64_t>(size), "f") != info) std::abort();
  } catch (const setup::IEInstall&) {
  }
  return 0;
}
