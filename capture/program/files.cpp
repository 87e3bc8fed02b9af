#include "capture/program/files.h"

#include <cctype>

namespace capture {

std::string DateForFileName(std::string_view shortDate) {
  std::string text(shortDate);
  for (char& ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 32 || std::string_view("/\\:*?\"<>|").find(ch) != std::string_view::npos) ch = '_';
  }
  return text;
}

std::string CaptureFileName(std::string_view folder, std::string_view shortDate, int counter) {
  std::string name(folder);
  name += DateForFileName(shortDate);
  name += '_';
  name += std::to_string(counter);
  name += ".txt";
  return name;
}

std::string NextCaptureFileName(std::string_view folder, std::string_view shortDate,
                                CaptureFileQuery& files) {
  // The counter cannot run away: each step needs one more existing file.
  for (int counter = 1;; ++counter) {
    std::string name = CaptureFileName(folder, shortDate, counter);
    if (!files.SizeOf(name)) return name;
  }
}

std::string OpenedCaptureName(std::string_view chosen, bool exists) {
  std::string name(chosen);
  if (exists) return name;
  std::string tail = name.size() >= 4 ? name.substr(name.size() - 4) : name;
  for (char& ch : tail) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (tail != ".TXT") name += ".txt";
  return name;
}

std::string ProgramFolder(std::string_view programPath) {
  const std::size_t slash = programPath.find_last_of("\\/");
  if (slash == std::string_view::npos) return {};
  return std::string(programPath.substr(0, slash + 1));
}

}  // namespace capture
