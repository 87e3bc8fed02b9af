// The archive's file world in memory: a roomy drive C:, the floppy A: and a
// second floppy B:, both of 1,474,560 bytes.
#pragma once

#include <string>
#include <vector>

#include "setup/archive/memory_disks.h"
#include "tests/setup/archive/rule_versions.h"

namespace archive_test {

class MemoryWorld {
 public:
  MemoryWorld() {
    disks_.AddDisk("A:", 1474560);
    disks_.AddDisk("B:", 1474560);
  }
  setup::MemoryDisks& Files() { return disks_; }
  // Files in memory carry no version resource: the versions come from a table.
  RuleVersions& Versions() { return versions_; }
  std::string Work() const { return "C:\\work"; }
  std::string Floppy() const { return "A:"; }
  std::string SecondDisk() const { return "B:"; }
  void UseFloppy() {}
  void Pump() {}
  std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const std::string& path : disks_.FileNames())
      if (setup::SameTextIgnoringCase(setup::FolderOf(path), folder))
        names.push_back(setup::FileNameOf(path));
    return names;
  }

 private:
  setup::MemoryDisks disks_;
  RuleVersions versions_{disks_};
};

}  // namespace archive_test
