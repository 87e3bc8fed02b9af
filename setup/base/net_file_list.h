// "filelist.lst": the list of files a net distribution keeps on its server,
// a signed 32-bit count followed by 72-byte records.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace setup {

struct TNetFileRecord {
  std::int32_t Size = 0;  // uncompressed
  double Date = 0;        // TDateTime
  std::string Name;       // the file component's name, under 40 characters
  std::string Version;    // at most 20 characters
  friend bool operator==(const TNetFileRecord&, const TNetFileRecord&) = default;
};

constexpr std::size_t kNetFileRecordSize = 72;
constexpr std::size_t kNetFileNameField = 40;
constexpr std::size_t kNetFileVersionField = 20;

// The list's bytes. A Name of 40 or more characters raises IEInstall;
// versions are cut to 20 characters.
std::vector<std::uint8_t> EncodeNetFileList(const std::vector<TNetFileRecord>& records);

// The records of a list. The list comes from a server and is trusted in
// nothing: a count that is negative or more than the bytes hold, a name
// without its terminating zero, or a date that is not a day of the years 1 to
// 9999 raise IEInstall "Cannot read the remote list of files: %s" with `path`.
std::vector<TNetFileRecord> DecodeNetFileList(std::span<const std::uint8_t> bytes, const std::string& path);

// The same for the list in the file at `path`; an unreadable file fails the
// same way.
std::vector<TNetFileRecord> ReadNetFileList(const std::string& path);

// For each record, the index of the first of `names` that equals its Name
// without regard to case, or nothing: such a record is ignored.
std::vector<std::optional<std::size_t>> MatchNetFileRecords(const std::vector<TNetFileRecord>& records,
                                                            const std::vector<std::string>& names);

}  // namespace setup
