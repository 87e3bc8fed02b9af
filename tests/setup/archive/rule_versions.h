// The version reader's overwrite decisions for archive tests, over the same
// files the archive uses: file versions come from a table the test fills,
// dates from the files themselves.
#pragma once

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "setup/archive/archive_files.h"

namespace archive_test {

class RuleVersions : public setup::ArchiveVersions {
 public:
  explicit RuleVersions(setup::ArchiveFileSystem& files) : files_(files) {}

  void SetVersion(const std::string& path, const std::string& version) { versions_[Key(path)] = version; }

  std::string FileVersionOf(const std::string& path) override {
    const auto found = versions_.find(Key(path));
    return found == versions_.end() ? "" : found->second;
  }

  int IsFileNewerByVersion(const std::string& newVersion, const std::string& existing, int type,
                           double newDate) override {
    const auto byDate = [&] {
      double existingDate;
      if (!files_.GetFileDate(existing, existingDate)) return 0;
      return newDate > existingDate ? 2 : newDate == existingDate ? 1 : 3;
    };
    switch (type) {
      case 0:
        return 2;
      case 1:
        return files_.Exists(existing) ? 3 : 2;
      case 2:
        return ByVersion(newVersion, FileVersionOf(existing));
      case 3:
        return byDate();
      case 4: {
        const int verdict = ByVersion(newVersion, FileVersionOf(existing));
        return verdict == 1 ? byDate() : verdict;
      }
    }
    return 0;
  }

  int IsFileNewerByName(const std::string& newFile, const std::string& existing, int type) override {
    double date;
    if ((type == 3 || type == 4) && !files_.GetFileDate(newFile, date)) return 0;
    if (type != 3 && type != 4) date = 0;
    return IsFileNewerByVersion(FileVersionOf(newFile), existing, type, date);
  }

 private:
  static std::string Key(std::string path) {
    for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return path;
  }
  static std::vector<long> Parts(const std::string& text) {
    std::vector<long> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, '.')) parts.push_back(std::stol(part));
    return parts;
  }
  // 1 same, 2 the new one is higher, 3 the existing one is.
  static int ByVersion(const std::string& a, const std::string& b) {
    const auto pa = Parts(a), pb = Parts(b);
    for (std::size_t i = 0; i < std::max(pa.size(), pb.size()); ++i) {
      if (i >= pa.size()) return 3;
      if (i >= pb.size()) return 2;
      if (pa[i] != pb[i]) return pa[i] > pb[i] ? 2 : 3;
    }
    return 1;
  }

  setup::ArchiveFileSystem& files_;
  std::map<std::string, std::string> versions_;
};

}  // namespace archive_test
