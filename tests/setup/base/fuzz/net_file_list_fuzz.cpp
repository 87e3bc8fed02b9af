// The reader of "filelist.lst", which comes from a server.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "setup/base/exceptions.h"
#include "setup/base/net_file_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const auto records = setup::DecodeNetFileList(std::span<const std::uint8_t>(data, size), "f");
    // Accepted records write back to a list that reads the same.
    if (setup::DecodeNetFileList(setup::EncodeNetFileList(records), "f") != records) std::abort();
  } catch (const setup::IEInstall&) {
  }
  return 0;
}
