#include "framework/format.h"

#include "framework/exceptions.h"

namespace fw {
namespace {

// Fills the format; on a code that cannot be filled, either stops (strict)
// or copies the code as it stands.
std::optional<std::string> Fill(std::string_view format, const FormatArgs& args, bool strict) {
  std::string out;
  out.reserve(format.size());
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%') {
      out += c;
      continue;
    }
    const char code = i + 1 < format.size() ? format[i + 1] : '\0';
    if (code == '%') {
      out += '%';
      ++i;
      continue;
    }
    const FormatArg* arg = next < args.size() ? &args[next] : nullptr;
    if (code == 's' && arg && arg->Text()) {
      out += *arg->Text();
    } else if (code == 'd' && arg && arg->Number()) {
      out += std::to_string(*arg->Number());
    } else {
      if (strict) return std::nullopt;
      out += '%';
      continue;  // the code's letter, if any, is copied as plain text
    }
    ++next;
    ++i;
  }
  return out;
}

}  // namespace

std::optional<std::string> TryFormat(std::string_view format, const FormatArgs& args) {
  return Fill(format, args, true);
}

std::string Format(std::string_view format, const FormatArgs& args) {
  if (auto text = Fill(format, args, true)) return *std::move(text);
  throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

std::string FormatLeniently(std::string_view format, const FormatArgs& args) {
  return *Fill(format, args, false);
}

}  // namespace fw
