// The floppy transfer plan from untrusted bytes: the first eight give the
// size of the self-extracting file (little endian), the rest its trailer.
// Whatever plan comes out must copy only bytes inside the file, in order,
// and never read the trailer; anything but the extraction-info error is a
// finding.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "setup/base/exceptions.h"
#include "setup/build/build.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  std::uint64_t raw = 0;
  for (int i = 7; i >= 0; --i) raw = raw << 8 | data[i];
  const auto fileSize = static_cast<std::int64_t>(raw);
  const std::span<const std::uint8_t> trailer(data + 8, size - 8);
  try {
    const setup::FloppyPlan plan = setup::PlanFloppyTransfer(trailer, fileSize, "setup.exe");
    const std::int64_t content = fileSize - static_cast<std::int64_t>(setup::kExtractionInfoSize);
    if (plan.LoaderSize <= 0 || plan.SetupStart != plan.LoaderSize) std::abort();
    if (plan.SetupEnd < plan.SetupStart || plan.SetupEnd >= content) std::abort();
    if (plan.HasFiles &&
        (plan.FilesStart <= plan.SetupEnd || plan.FilesEnd < plan.FilesStart || plan.FilesEnd >= content))
      std::abort();
  } catch (const setup::IEInstall&) {
  }
  return 0;
}
