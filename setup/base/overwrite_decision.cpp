#include "setup/base/overwrite_decision.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace setup {
namespace {

std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  if (text.empty()) return fields;
  for (std::size_t start = 0;;) {
    const auto dot = text.find('.', start);
    fields.push_back(
        text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
    if (dot == std::string_view::npos) return fields;
    start = dot + 1;
  }
}

bool Decimal(std::string_view field) {
  return !field.empty() &&
         std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// <0, 0, >0 like a comparison of the two numbers the digits stand for.
int CompareNumbers(std::string_view a, std::string_view b) {
  a.remove_prefix(std::min(a.find_first_not_of('0'), a.size()));
  b.remove_prefix(std::min(b.find_first_not_of('0'), b.size()));
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

int CompareBytes(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Decision of a version comparison of new against existing.
int ByVersion(const std::string& newVersion, const std::string& existingVersion) {
  switch (CompareVersionTexts(newVersion, existingVersion)) {
    case 0:
      return kSame;
    case 1:
      return kNewWins;
    default:
      return kExistingWins;
  }
}

bool BlankAfterTrim(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

// The decision by type once the versions are known; `newDate` opens the new
// file when it has to.
template <class NewDate>
int Decide(FileDates& files, const std::string& newVersion, const std::string& existingVersion,
           const std::string& existingFile, int type, NewDate newDate) {
  const auto byDate = [&]() -> int {
    const std::optional<double> date = newDate();
    const std::optional<double> existingDate = files.OpenedFileDate(existingFile);
    if (!date || !existingDate) return kUndecided;
    return CompareFileDates(*date, *existingDate);
  };
  switch (type) {
    case owAlways:
      return kNewWins;
    case owNever:
      return !BlankAfterTrim(existingFile) && files.Exists(existingFile) ? kExistingWins : kNewWins;
    case owVersion:
      return ByVersion(newVersion, existingVersion);
    case owDate:
      return byDate();
    case owVersionDate: {
      const int decision = ByVersion(newVersion, existingVersion);
      return decision == kSame ? byDate() : decision;
    }
    default:
      return kUndecided;
  }
}

bool NeedsVersions(int type) { return type == owVersion || type == owVersionDate; }

}  // namespace

int CompareVersionTexts(std::string_view a, std::string_view b) {
  const auto fieldsA = Fields(a), fieldsB = Fields(b);
  for (std::size_t i = 0;; ++i) {
    const bool aOut = i >= fieldsA.size(), bOut = i >= fieldsB.size();
    if (aOut || bOut) return aOut && bOut ? 0 : (aOut ? 2 : 1);
    const std::string_view x = fieldsA[i], y = fieldsB[i];
    const int order = Decimal(x) && Decimal(y) ? CompareNumbers(x, y) : CompareBytes(x, y);
    if (order != 0) return order < 0 ? 2 : 1;
  }
}

int CompareFileDates(double a, double b) {
  const auto step = [](double date) {
    // Dates come from archives and lists too: keep them in a range that
    // converts to milliseconds.
    date = std::isnan(date) ? 0.0 : std::clamp(date, -1e7, 1e7);
    // To whole milliseconds first: a date that went through another
    // conversion may lie a hair below its even second.
    const auto ms = static_cast<std::int64_t>(std::llround(date * 86400000.0));
    return ms >= 0 ? ms / 2000 : -((-ms + 1999) / 2000);
  };
  const std::int64_t x = step(a), y = step(b);
  return x == y ? kSame : (x > y ? kNewWins : kExistingWins);
}

int IsFileNewerByName(TVersionResource& reader, FileDates& files, const std::string& newFile,
                      const std::string& existingFile, int type) {
  std::string newVersion, existingVersion;
  if (NeedsVersions(type)) {
    reader.SetFileName(newFile);
    newVersion = reader.VersionInfo().FileVersion();
    reader.SetFileName(existingFile);
    existingVersion = reader.VersionInfo().FileVersion();
  }
  return Decide(files, newVersion, existingVersion, existingFile, type,
                [&] { return files.OpenedFileDate(newFile); });
}

int IsFileNewerByVersion(TVersionResource& reader, FileDates& files, const std::string& newVersion,
                         const std::string& existingFile, int type, double newDate) {
  std::string existingVersion;
  if (NeedsVersions(type)) {
    reader.SetFileName(existingFile);
    existingVersion = reader.VersionInfo().FileVersion();
  }
  return Decide(files, newVersion, existingVersion, existingFile, type,
                [&] { return std::optional<double>(newDate); });
}

}  // namespace setup
