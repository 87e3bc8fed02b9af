// Whether an existing file is replaced: by version, by date or both, as the
// overwrite type of the file says.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "setup/base/version_resource.h"

namespace setup {

// 0 equal, 1 a is higher, 2 b is higher. Fields split at "."; numeric fields
// compare by value at any length, other fields byte by byte; the text that
// runs out of fields first is lower. An empty text has no fields.
int CompareVersionTexts(std::string_view a, std::string_view b);

enum TOverwriteType { owAlways, owNever, owVersion, owDate, owVersionDate };

// Decisions.
enum : int { kUndecided = 0, kSame = 1, kNewWins = 2, kExistingWins = 3 };

// The file questions of the decisions.
class FileDates {
 public:
  virtual ~FileDates() = default;
  virtual bool Exists(const std::string& path) = 0;
  // The modification date (TDateTime, local time) of a file opened for
  // reading with sharing allowed; nothing when it cannot be opened.
  virtual std::optional<double> OpenedFileDate(const std::string& path) = 0;
};

// 1 same, 2 a is later, 3 a is earlier, compared in the 2-second steps that
// archives keep, so an extracted file equals its own archive entry.
int CompareFileDates(double a, double b);

// The decision for a new file on disk against an existing one; `type` is an
// ordinal of TOverwriteType, any other gives 0. `reader` is left at the last
// file read.
int IsFileNewerByName(TVersionResource& reader, FileDates& files, const std::string& newFile,
                      const std::string& existingFile, int type);
// The same for an archive entry's version text and date.
int IsFileNewerByVersion(TVersionResource& reader, FileDates& files, const std::string& newVersion,
                         const std::string& existingFile, int type, double newDate);

}  // namespace setup
