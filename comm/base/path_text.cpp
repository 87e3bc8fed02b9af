#include "comm/base/path_text.h"

namespace comm {

std::string FileNamePart(std::string_view path) {
  const auto separator = path.find_last_of(":\\");
  const std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
  return std::string(name.substr(0, kMaxShortString));
}

std::string SubstringFrom(std::string_view source, std::size_t start, std::size_t count) {
  if (start >= source.size()) return {};
  return std::string(source.substr(start, count));
}

std::string WithTrailingBackslash(std::string_view path) {
  std::string result(path);
  if (!result.empty() && result.back() != ':' && result.back() != '\\') result.push_back('\\');
  return result;
}

}  // namespace comm
