// Feeds arbitrary bytes to the string-table reader: a table it accepts must
// answer every lookup from inside the bytes, and a refused one must stay empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "comm/base/str0_table.h"
#include "comm/base/string_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  comm::Str0Table table;
  if (table.Attach(bytes) != comm::Str0Table::AttachResult::kOk) {
    if (table.Attached() || table.Find(0)) std::abort();
    return 0;
  }
  for (std::uint32_t i = 0; i < table.Count(); ++i) {
    const auto entry = table.EntryAt(i);
    const auto text = table.Find(entry.id);
    if (!text || text->size() != entry.length) std::abort();
    if (entry.id > 0 && (i == 0 || table.EntryAt(i - 1).id != entry.id - 1) && table.Find(entry.id - 1)) {
      std::abort();
    }
  }
  comm::MemoryResourceModule module;
  module.Add("FUZZ", bytes);
  comm::TAdStringResource reader(module, "FUZZ");
  reader.LookupText(0);
  reader.LookupText(0xFFFFFFFF);
  return 0;
}
