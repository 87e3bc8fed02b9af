// The version decisions on real files: version.dll, file dates from the
// file system, and the one shared reader of the setup program.
#pragma once

#include <string>

#include "setup/base/overwrite_decision.h"

namespace setup {

FileDates& SystemFileDates();

// Made on first use and kept until the program ends; its FileName is the
// last file examined.
TVersionResource& SharedVersionResource();

inline int IsFileNewerByName(const std::string& newFile, const std::string& existingFile, int type) {
  return IsFileNewerByName(SharedVersionResource(), SystemFileDates(), newFile, existingFile, type);
}
inline int IsFileNewerByVersion(const std::string& newVersion, const std::string& existingFile, int type,
                                double newDate) {
  return IsFileNewerByVersion(SharedVersionResource(), SystemFileDates(), newVersion, existingFile, type,
                              newDate);
}

}  // namespace setup
