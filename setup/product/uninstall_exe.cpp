#include "setup/product/uninstall_exe.h"

#include "setup/base/exceptions.h"
#include "setup/install/install_rules.h"

namespace setup {

TUninstallEXE::TUninstallEXE(fw::TComponent* owner) : TInstallFile(owner) { Net = true; }

std::string UninstallCommand(const std::string& programPath, const std::string& productName) {
  return "\"" + programPath + "\" " + productName;
}

void TUninstallEXE::WriteUninstallInfo(const std::string&) {
  const TCustomInstall* install = FindInstall();
  if (!install)
    throw IEUninstallEXE(
        "%s could not write information about the uninstall to the registry because there was no TInstall "
        "component",
        {Name()});
  FileInstallSystem* system = InstallSystem();
  if (!system) throw IECustomInstallFile("No system to install files through");
  const std::string product = install->ProductName();
  const std::string key = kUninstallKey + product;
  Registry& registry = system->SystemRegistry();
  RegWriteString(registry, kLocalMachine, key, "DisplayName", product);
  RegWriteString(registry, kLocalMachine, key, "UninstallString",
                 UninstallCommand(DestinationPath(), product));
}

}  // namespace setup
