#include "setup/paths/path_specifiers.h"

#include <cctype>

#include "setup/base/text_routines.h"
#include "setup/paths/machine_folders.h"
#include "setup/translator/language_text.h"

namespace setup {
namespace {

TInstallObject* InstallObjectOf(fw::TComponent* object, const std::string& specifierName) {
  auto* installObject = dynamic_cast<TInstallObject*>(object);
  if (!installObject)
    throw IEPathSpecifier("%s must be a %s to use the %s path specifier",
                          {object ? object->Name() : std::string(), "TInstallObject", specifierName});
  return installObject;
}

TCustomInstall* RequireInstall(fw::TComponent* object) {
  TCustomInstall* install = FindInstall();
  if (!install)
    throw IEPathSpecifier("There is no TInstall component so the path specifier could not be expanded for %s",
                          {object ? object->Name() : std::string()});
  return install;
}

}  // namespace

#define SETUP_SPECIFIER_BASICS(Class, DefaultName, Display)                                           \
  Class::Class(fw::TComponent* owner) : TStandardPathSpecifier(owner) { defaultName_ = DefaultName; } \
  std::string Class::DisplayText() const { return Display; }

#define SETUP_NO_CHECK(Class) \
  void Class::CheckObject(fw::TComponent*) const {}

SETUP_SPECIFIER_BASICS(TpsHDBDLL, "psHDBDLL", "Harrowgate Database Engine DLL Path")
SETUP_NO_CHECK(TpsHDBDLL)
std::string TpsHDBDLL::GetPath(fw::TComponent*) const {
  std::string path;
  if (Machine().registry)
    path = RegReadString(*Machine().registry, kLocalMachine, "\\Software\\Harrowgate\\Database Engine",
                         "DLLPath", "");
  if (path.empty()) path = ProgramFilesFolder() + "\\" + "Harrowgate\\Common Files\\HDB";
  // Folders are appended with their own "\", so one trailing "\" goes.
  return RemoveBackslash(GetField(path, 1, ";"));
}

SETUP_SPECIFIER_BASICS(TpsCommonFiles, "psCommonFiles",
                       "Path of the common files directory under the program files directory")
SETUP_NO_CHECK(TpsCommonFiles)
std::string TpsCommonFiles::GetPath(fw::TComponent*) const { return CommonFilesFolder(); }

SETUP_SPECIFIER_BASICS(TpsContainerArchiveFile, "psContainerArchiveFile",
                       "Path to the archive file of the container")
void TpsContainerArchiveFile::CheckObject(fw::TComponent* object) const {
  TInstallObject* installObject = InstallObjectOf(object, defaultName_);
  if (!installObject->Container())
    throw IEPathSpecifier("Cannot use ddContainerArchiveFile for %s unless you assign a Container",
                          {installObject->Name()});
  if (!dynamic_cast<TFileRelated*>(installObject->Container()))
    throw IEPathSpecifier(
        "Cannot use the ddContainerArchiveFile path specifier for %s because the Container is not a "
        "TFileRelated "
        "descendant",
        {installObject->Name()});
}
std::string TpsContainerArchiveFile::GetPath(fw::TComponent* object) const {
  CheckObject(object);
  return RemoveBackslash(
      static_cast<TFileRelated*>(static_cast<TInstallObject*>(object)->Container())->GetArchivePath());
}

SETUP_SPECIFIER_BASICS(TpsContainerDestDir, "psContainerDestDir", "Path of the group (container)")
void TpsContainerDestDir::CheckObject(fw::TComponent* object) const {
  TInstallObject* installObject = InstallObjectOf(object, defaultName_);
  if (!installObject->Container())
    throw IEPathSpecifier("Cannot use ddContainerDestDir for %s unless you assign a Container",
                          {installObject->Name()});
}
std::string TpsContainerDestDir::GetPath(fw::TComponent* object) const {
  CheckObject(object);
  return static_cast<TInstallObject*>(object)->Container()->GetDestDir();
}
std::string TpsContainerDestDir::DisplayTextFor(fw::TComponent* object) const {
  try {
    CheckObject(object);
  } catch (const IEPathSpecifier&) {
    return DisplayText();
  }
  TInstallContainer* container = static_cast<TInstallObject*>(object)->Container();
  auto* fileContainer = dynamic_cast<TFileContainer*>(container);
  return fw::Format("Path of the <%s> group", {fileContainer ? fileContainer->GroupName : container->Name()});
}

SETUP_SPECIFIER_BASICS(TpsDesktopMenu, "psDesktopMenu", "Path of the Desktop")
SETUP_NO_CHECK(TpsDesktopMenu)
std::string TpsDesktopMenu::GetPath(fw::TComponent*) const { return DesktopFolder(); }

SETUP_SPECIFIER_BASICS(TpsInstallSource, "psInstallSource", "Path from which the user ran the install")
void TpsInstallSource::CheckObject(fw::TComponent* object) const { RequireInstall(object); }
std::string TpsInstallSource::GetPath(fw::TComponent* object) const {
  return RemoveBackslash(RequireInstall(object)->BaseFolder());
}

SETUP_SPECIFIER_BASICS(TpsMainInstall, "psMainInstall", "Path of the destination directory of the TInstall")
void TpsMainInstall::CheckObject(fw::TComponent* object) const {
  TCustomInstall* install = RequireInstall(object);
  if (object == install)
    throw IEPathSpecifier("Cannot use the ddMainInstallDir path specifier for a TInstall component");
}
std::string TpsMainInstall::GetPath(fw::TComponent* object) const {
  CheckObject(object);
  return FindInstall()->GetDestDir();
}

SETUP_SPECIFIER_BASICS(TpsProgramFiles, "psProgramFiles", "Path of the program files directory")
SETUP_NO_CHECK(TpsProgramFiles)
std::string TpsProgramFiles::GetPath(fw::TComponent*) const { return ProgramFilesFolder(); }

SETUP_SPECIFIER_BASICS(TpsProgramMenu, "psProgramMenu", "Path of the Programs folder under the Start Menu")
SETUP_NO_CHECK(TpsProgramMenu)
std::string TpsProgramMenu::GetPath(fw::TComponent*) const { return ProgramsFolder(); }

SETUP_SPECIFIER_BASICS(TpsStartMenu, "psStartMenu", "Path of Start Menu")
SETUP_NO_CHECK(TpsStartMenu)
std::string TpsStartMenu::GetPath(fw::TComponent*) const { return StartMenuFolder(); }

SETUP_SPECIFIER_BASICS(TpsStartupMenu, "psStartupMenu",
                       "Path of the Startup folder in the Programs folder under the Start Menu")
SETUP_NO_CHECK(TpsStartupMenu)
std::string TpsStartupMenu::GetPath(fw::TComponent*) const { return StartupFolder(); }

SETUP_SPECIFIER_BASICS(TpsSystem, "psSystem", "Path of system directory")
SETUP_NO_CHECK(TpsSystem)
std::string TpsSystem::GetPath(fw::TComponent*) const { return SystemFolder(); }

SETUP_SPECIFIER_BASICS(TpsMainArchiveFile, "psMainArchiveFile",
                       "Archive containing most or all non-internet installation files")
void TpsMainArchiveFile::CheckObject(fw::TComponent* object) const { RequireInstall(object); }
std::string TpsMainArchiveFile::GetPath(fw::TComponent* object) const {
  TCustomInstall* install = RequireInstall(object);
  std::string name = "files.1";
  if (const std::string* option = install->ArchiveOption()) {
    if (translator::TrimBlanks(*option).empty())
      throw IEInstall(
          "You forgot to pass in the name of the self-extracting executable. Usage example: \"-eSetup.exe\"");
    name = *option;
  }
  // The base folder of a program in a drive's root is the bare drive.
  return RemoveBackslash(install->BaseFolder()) + "\\" + name;
}

SETUP_SPECIFIER_BASICS(TpsWindow, "psWindow", "Path of the Windows directory")
SETUP_NO_CHECK(TpsWindow)
std::string TpsWindow::GetPath(fw::TComponent*) const { return WindowsFolder(); }

#undef SETUP_SPECIFIER_BASICS
#undef SETUP_NO_CHECK

namespace {

template <class T>
void Ensure(fw::TComponent* owner) {
  if (PathSpecifiers().Find<T>()) return;
  auto* specifier = new T(owner);
  specifier->SetName(specifier->DefaultName());
}

}  // namespace

void EnsureStandardSpecifiers(fw::TComponent* owner) {
  Ensure<TpsHDBDLL>(owner);
  Ensure<TpsCommonFiles>(owner);
  Ensure<TpsContainerArchiveFile>(owner);
  Ensure<TpsContainerDestDir>(owner);
  Ensure<TpsDesktopMenu>(owner);
  Ensure<TpsInstallSource>(owner);
  Ensure<TpsMainInstall>(owner);
  Ensure<TpsProgramFiles>(owner);
  Ensure<TpsProgramMenu>(owner);
  Ensure<TpsStartMenu>(owner);
  Ensure<TpsStartupMenu>(owner);
  Ensure<TpsSystem>(owner);
  Ensure<TpsMainArchiveFile>(owner);
  Ensure<TpsWindow>(owner);
}

// %a the component's destination, %b Programs, %c the destination of the
// component's container, %d Desktop, %f Common Files, %i the install's
// destination, %m Start Menu, %p Program Files, %s system, %w Windows, %%
// a "%". Other codes and a "%" at the end are dropped.
std::string ExpandMetaVariables(const std::string& text, TInstallContainer* component) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      result += text[i];
      continue;
    }
    if (++i >= text.size()) break;
    switch (std::tolower(static_cast<unsigned char>(text[i]))) {
      case '%':
        result += '%';
        break;
      case 'a':
        if (!component)
          throw EAICannotExpandContainerDirMV(
              Translated("Cannot expand the %a meta variable because the component is Nil"));
        result += component->GetDestDir();
        break;
      case 'b':
        result += ProgramsFolder();
        break;
      case 'c': {
        if (!component)
          throw EAICannotExpandContainerDirMV(
              Translated("Cannot expand the %c meta variable because the component is Nil"));
        auto* object = dynamic_cast<TInstallObject*>(component);
        if (!object || !object->Container())
          throw EAICannotExpandContainerDirMV(
              Translated("Cannot expand the %c meta variable because the Container property is Nil"));
        result += object->Container()->GetDestDir();
        break;
      }
      case 'd':
        result += DesktopFolder();
        break;
      case 'f':
        result += CommonFilesFolder();
        break;
      case 'i': {
        TCustomInstall* install = FindInstall();
        if (!install)
          throw EAICannotExpandInstallDirMV(
              Translated("Cannot expand the %i meta variable because there is no TInstall component"));
        result += install->GetDestDir();
        break;
      }
      case 'm':
        result += StartMenuFolder();
        break;
      case 'p':
        result += ProgramFilesFolder();
        break;
      case 's':
        result += SystemFolder();
        break;
      case 'w':
        result += WindowsFolder();
        break;
      default:
        break;
    }
  }
  return result;
}

}  // namespace setup
