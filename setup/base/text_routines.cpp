#include "setup/base/text_routines.h"

#include <algorithm>

namespace setup {

int FieldCount(std::string_view text, char separator) {
  const auto separators = static_cast<int>(std::count(text.begin(), text.end(), separator));
  return separators + (!text.empty() && text.back() != separator ? 1 : 0);
}

std::string GetField(std::string_view text, int n, std::string_view separator) {
  if (separator.empty()) return n < 2 ? std::string(text) : std::string();
  for (int i = 1; i < n; ++i) {
    const auto at = text.find(separator);
    if (at == std::string_view::npos) return {};
    text.remove_prefix(at + separator.size());
  }
  return std::string(text.substr(0, text.find(separator)));
}

void SplitFields(std::string_view text, char separator, std::vector<std::string>& list) {
  list.clear();
  const int count = FieldCount(text, separator);
  const std::string separatorText(1, separator);
  for (int n = 1; n <= count; ++n) list.push_back(GetField(text, n, separatorText));
}

std::string AddBackslash(std::string_view path) {
  std::string result(path);
  if (!result.empty() && result.back() != '\\') result += '\\';
  return result;
}

std::string RemoveBackslash(std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

std::string TrimmedText(std::string_view text) {
  // Control characters count as blanks, as the framework's trimming has it.
  std::size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return std::string(text.substr(first, last - first));
}

std::string TextAfterColon(std::string_view text) {
  const auto colon = text.find(':');
  return std::string(colon == std::string_view::npos ? text : text.substr(colon + 1));
}

std::string MakeFileNameSafe(std::string_view text) {
  constexpr std::string_view kDropped = "\"*:;<>?\\|";
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    if (c == '/') {
      result += '-';
    } else if (kDropped.find(c) == std::string_view::npos) {
      result += c;
    }
  }
  return result;
}

std::string BreakLongRuns(std::string_view text, std::size_t width) {
  if (width == 0) return std::string(text);
  std::string result;
  std::size_t run = 0;  // characters since the last blank or line break
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      result += c;
      run = 0;
      continue;
    }
    if (run == width) {
      // Back to just after the last backslash of the run, when it has one.
      const std::size_t runStart = result.size() - run;
      const std::size_t slash = result.find_last_of('\\');
      const std::size_t at = slash != std::string::npos && slash >= runStart && slash + 1 < result.size()
                                 ? slash + 1
                                 : result.size();
      result.insert(at, "\n");
      run = result.size() - at - 1;
    }
    result += c;
    ++run;
  }
  return result;
}

}  // namespace setup
