// A checked formatter for message texts: "%s" takes a text, "%d" an integer
// and "%%" gives "%". Formats come from the program and from translations,
// so a format that asks for an argument it was not given is detected instead
// of reading past the arguments.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace fw {

class FormatArg {
 public:
  FormatArg(std::string text) : value_(std::move(text)) {}
  FormatArg(const char* text) : value_(std::string(text ? text : "")) {}
  FormatArg(std::string_view text) : value_(std::string(text)) {}
  FormatArg(int number) : value_(static_cast<std::int64_t>(number)) {}
  FormatArg(long number) : value_(static_cast<std::int64_t>(number)) {}
  FormatArg(long long number) : value_(static_cast<std::int64_t>(number)) {}
  FormatArg(unsigned number) : value_(static_cast<std::int64_t>(number)) {}
  FormatArg(unsigned long number) : value_(static_cast<std::int64_t>(number)) {}
  FormatArg(unsigned long long number) : value_(static_cast<std::int64_t>(number)) {}

  const std::string* Text() const { return std::get_if<std::string>(&value_); }
  const std::int64_t* Number() const { return std::get_if<std::int64_t>(&value_); }

 private:
  std::variant<std::string, std::int64_t> value_;
};

using FormatArgs = std::vector<FormatArg>;

// The format filled in, or nothing when a code is not one of "%s", "%d" and
// "%%", lacks its argument or meets an argument of the other kind. Arguments
// left over are ignored.
std::optional<std::string> TryFormat(std::string_view format, const FormatArgs& args);

// As TryFormat; a format that does not fit its arguments raises EConvertError.
std::string Format(std::string_view format, const FormatArgs& args);

// As TryFormat, but never fails: a code that cannot be filled stays in the
// text as it is written.
std::string FormatLeniently(std::string_view format, const FormatArgs& args);

}  // namespace fw

namespace fw {

// A whole number with its digits in groups of three, as "%0.0n" writes it
// ("3,500" with "," as the separator; "-1").
std::string GroupedNumber(std::int64_t value, std::string_view separator);

}  // namespace fw
