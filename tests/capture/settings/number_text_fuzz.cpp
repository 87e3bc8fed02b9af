// Any text through the number rules of the settings store and the version
// reader: no crash, and the rules agree with each other.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "capture/settings/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto whole = capture::ParseDecimalInt32(text);
  const auto real = capture::ParseRealNumber(text);
  // Every decimal integer is also a real number of the same value.
  if (whole && (!real || *real != static_cast<double>(*whole))) std::abort();
  const double version = capture::VersionTextToNumber(text);
  if (real && version != *real) std::abort();
  return 0;
}
