// Any bytes as Program Manager's reply give lines and fields, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "setup/shell/program_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto lines = setup::ReplyLines(std::string_view(reinterpret_cast<const char*>(data), size));
  const int count = setup::ItemCount(lines);
  for (int i = -1; i <= count + 1; ++i)
    for (int n = -1; n <= 6; ++n) (void)setup::ItemField(lines, i, n);
  if (count > 0) (void)setup::FindItem(lines, setup::ItemField(lines, count, 1));
  (void)setup::FindItem(lines, "");
  return 0;
}
