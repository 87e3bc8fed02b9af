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

namespace fw {

std::string GroupedNumber(std::int64_t value, std::string_view separator) {
  // The magnitude as unsigned: the lowest value has no positive counterpart.
  const bool negative = value < 0;
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  const std::string digits = std::to_string(magnitude);
  std::string text = negative ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += separator;
    text += digits[i];
  }
  return text;
}

}  // namespace fw
