// The standard path specifiers: each names one folder of the machine or of
// the install tree, checks that an object may use it, and gives its path.
#pragma once

#include <string>

#include "setup/install/install_tree.h"
#include "setup/install/path_specifier.h"

namespace setup {

#define SETUP_STANDARD_SPECIFIER(Class, ...)                    \
  class Class : public TStandardPathSpecifier {                 \
   public:                                                      \
    explicit Class(fw::TComponent* owner);                      \
    std::string ClassName() const override { return #Class; }   \
    std::string DisplayText() const override;                   \
    std::string GetPath(fw::TComponent* object) const override; \
    void CheckObject(fw::TComponent* object) const override;    \
    __VA_ARGS__                                                 \
  };

SETUP_STANDARD_SPECIFIER(TpsHDBDLL)
SETUP_STANDARD_SPECIFIER(TpsCommonFiles)
SETUP_STANDARD_SPECIFIER(
    TpsContainerArchiveFile,
    TSpecifierRole Role() const override { return TSpecifierRole::ContainerArchiveFile; })
SETUP_STANDARD_SPECIFIER(
    TpsContainerDestDir, TSpecifierRole Role() const override {
      return TSpecifierRole::ContainerDestDir;
    } std::string DisplayTextFor(fw::TComponent* object) const override;)
SETUP_STANDARD_SPECIFIER(TpsDesktopMenu)
SETUP_STANDARD_SPECIFIER(TpsInstallSource)
SETUP_STANDARD_SPECIFIER(TpsMainInstall)
SETUP_STANDARD_SPECIFIER(TpsProgramFiles)
SETUP_STANDARD_SPECIFIER(TpsProgramMenu)
SETUP_STANDARD_SPECIFIER(TpsStartMenu)
SETUP_STANDARD_SPECIFIER(TpsStartupMenu)
SETUP_STANDARD_SPECIFIER(TpsSystem)
SETUP_STANDARD_SPECIFIER(TpsMainArchiveFile)
SETUP_STANDARD_SPECIFIER(TpsWindow)

#undef SETUP_STANDARD_SPECIFIER

// For each standard class, in the order above, with no instance in the
// path-specifier list: one owned by the owner, named by its default name.
void EnsureStandardSpecifiers(fw::TComponent* owner);

// The %-codes of shortcut parameters expanded (see the .cpp for the codes).
std::string ExpandMetaVariables(const std::string& text, TInstallContainer* component);

}  // namespace setup
