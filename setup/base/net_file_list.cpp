#include "setup/base/net_file_list.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "setup/base/binary_fields.h"
#include "setup/base/exceptions.h"

namespace setup {
namespace {

constexpr std::size_t kSizeAt = 0, kDateAt = 4, kNameAt = 12, kVersionAt = 52;
// TDateTime of 1 January of year 1 and of the day after 31 December 9999.
constexpr double kFirstDay = -693593.0, kDayAfterLast = 2958466.0;

[[noreturn]] void Unreadable(const std::string& path) {
  throw IEInstall("Cannot read the remote list of files: %s", {path});
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

// A date's day counts from its whole part; a negative date's time lies
// after that day's start, so -693593.5 is still 1 January of year 1.
// The length of a text field that may fill its bytes without a terminator.
std::size_t FieldLength(const char* field, std::size_t size) {
  const void* zero = std::memchr(field, 0, size);
  return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : size;
}

bool ValidDate(double date) { return std::isfinite(date) && date > kFirstDay - 1 && date < kDayAfterLast; }

}  // namespace

std::vector<std::uint8_t> EncodeNetFileList(const std::vector<TNetFileRecord>& records) {
  std::vector<std::uint8_t> bytes(4 + records.size() * kNetFileRecordSize, 0);
  binary::Put32(bytes.data(), static_cast<std::uint32_t>(records.size()));
  std::uint8_t* record = bytes.data() + 4;
  for (const TNetFileRecord& r : records) {
    if (r.Name.size() >= kNetFileNameField) {
      throw IEInstall("The name %s is too long for the remote list of files", {r.Name});
    }
    binary::Put32(record + kSizeAt, static_cast<std::uint32_t>(r.Size));
    binary::PutDouble(record + kDateAt, r.Date);
    std::memcpy(record + kNameAt, r.Name.data(), r.Name.size());
    std::memcpy(record + kVersionAt, r.Version.data(), std::min(r.Version.size(), kNetFileVersionField));
    record += kNetFileRecordSize;
  }
  return bytes;
}

std::vector<TNetFileRecord> DecodeNetFileList(std::span<const std::uint8_t> bytes, const std::string& path) {
  if (bytes.size() < 4) Unreadable(path);
  const auto count = static_cast<std::int32_t>(binary::Get32(bytes.data()));
  // Checked before anything is allocated for the records.
  if (count < 0 || static_cast<std::uint64_t>(count) > (bytes.size() - 4) / kNetFileRecordSize)
    Unreadable(path);
  std::vector<TNetFileRecord> records;
  records.reserve(static_cast<std::size_t>(count));
  const std::uint8_t* record = bytes.data() + 4;
  for (std::int32_t i = 0; i < count; ++i, record += kNetFileRecordSize) {
    const auto* name = reinterpret_cast<const char*>(record + kNameAt);
    const auto* version = reinterpret_cast<const char*>(record + kVersionAt);
    const std::size_t nameLength = FieldLength(name, kNetFileNameField);
    if (nameLength == kNetFileNameField) Unreadable(path);
    TNetFileRecord r;
    r.Size = static_cast<std::int32_t>(binary::Get32(record + kSizeAt));
    r.Date = binary::GetDouble(record + kDateAt);
    if (!ValidDate(r.Date)) Unreadable(path);
    r.Name.assign(name, nameLength);
    r.Version.assign(version, FieldLength(version, kNetFileVersionField));
    records.push_back(std::move(r));
  }
  return records;
}

std::vector<TNetFileRecord> ReadNetFileList(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Unreadable(path);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  if (in.bad()) Unreadable(path);
  return DecodeNetFileList(bytes, path);
}

std::vector<std::optional<std::size_t>> MatchNetFileRecords(const std::vector<TNetFileRecord>& records,
                                                            const std::vector<std::string>& names) {
  std::vector<std::optional<std::size_t>> matches;
  matches.reserve(records.size());
  for (const TNetFileRecord& r : records) {
    const auto found =
        std::find_if(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, r.Name); });
    matches.push_back(found == names.end()
                          ? std::nullopt
                          : std::optional<std::size_t>(static_cast<std::size_t>(found - names.begin())));
  }
  return matches;
}

}  // namespace setup
