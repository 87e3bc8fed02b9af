// Reading a log file for the viewer and writing a copy of it.
#pragma once

#include <cstddef>
#include <string>

namespace capture {

enum class LogReadResult { Ok, TooLarge, Failed };

// Reads the whole file when it holds at most `limit` bytes. The file may be
// the capture file the program is still appending to, so others may go on
// reading and writing it meanwhile.
LogReadResult ReadLogFile(const std::string& path, size_t limit, std::string& bytes);

// Writes `text` as the file's whole content. It is written beside the file
// first and then put in its place, so a failed write leaves an existing file
// as it was. False on failure.
bool WriteLogFile(const std::string& path, const std::string& text);

bool FileExists(const std::string& path);

}  // namespace capture
