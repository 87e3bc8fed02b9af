// How capture files are named and how big they may grow. Plain rules over
// names and sizes; the file system and the clock reach them through the small
// interfaces below.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace capture {

// A file above this size is full: the timer and the disk writes roll over to
// a new file, and File Open refuses it. The log viewer's own limit (750000)
// stays above it by more than one capture block.
constexpr std::uint64_t maxCaptureFileSize = 700000;
// Longer names are refused before capture starts (the terminal keeps 255).
constexpr std::size_t maxCaptureNameLength = 255;

inline bool ExceedsCaptureLimit(std::uint64_t size) { return size > maxCaptureFileSize; }

// What the capture logic asks of the file system.
class CaptureFileQuery {
 public:
  virtual ~CaptureFileQuery() = default;
  // The size of an existing file; nothing when there is no such file.
  virtual std::optional<std::uint64_t> SizeOf(const std::string& path) = 0;
  // Whether an existing file can be opened for reading now (not held by another program).
  virtual bool CanRead(const std::string& path) = 0;
};

// Today's date as the user's locale writes a short date.
class ShortDateSource {
 public:
  virtual ~ShortDateSource() = default;
  virtual std::string TodayShortDate() = 0;
};

// The date with every character a file name cannot hold ("/", "\", ":" and
// the rest of the reserved set, control characters) turned into "_".
std::string DateForFileName(std::string_view shortDate);

// folder (with its trailing backslash) + date + "_" + counter + ".txt".
std::string CaptureFileName(std::string_view folder, std::string_view shortDate, int counter);

// The first name of today's series, counting from 1, that no file holds yet.
std::string NextCaptureFileName(std::string_view folder, std::string_view shortDate, CaptureFileQuery& files);

// A chosen name that does not exist yet gets ".txt" unless it already ends in it.
std::string OpenedCaptureName(std::string_view chosen, bool exists);

// The folder part of a program path, with its trailing backslash.
std::string ProgramFolder(std::string_view programPath);

}  // namespace capture
