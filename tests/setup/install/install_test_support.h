// Stand-ins for the parts of an installation that later layers build: an
// install run with a fixed base folder and command line, and files that
// report chosen information codes to their container.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "setup/install/install_tree.h"

namespace setup::test_support {

class StandInInstall : public TCustomInstall {
 public:
  explicit StandInInstall(fw::TComponent* owner) : TCustomInstall(owner) {}
  std::string BaseFolder() const override { return Base; }
  const std::string* ArchiveOption() const override { return Archive ? &*Archive : nullptr; }
  std::string ProductName() const override { return "Tallimo"; }
  std::string Base = "C:\\setup";
  std::optional<std::string> Archive;
};

class StandInFile : public TCustomInstallFile {
 public:
  explicit StandInFile(fw::TComponent* owner, std::int32_t size = 0) : TCustomInstallFile(owner) {
    Size = size;
  }
  // What the file does while it installs; false means it was skipped.
  std::function<bool(StandInFile&)> Action;
  std::vector<std::string> UninstallKeys;
  bool Install() override {
    TCustomInstallFile::Install();
    Installed = false;
    return Action ? Action(*this) : true;
  }
  void WriteUninstallInfo(const std::string& key) override { UninstallKeys.push_back(key); }
  void Report(int code, TEventObject* parameter) {
    Container()->DoInformationEventControl(this, code, parameter);
  }
};

}  // namespace setup::test_support
