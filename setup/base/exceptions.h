// The setup program's exception classes. Abort exceptions end a run (EAI),
// abnormal ends carry a finished English message, and the message exceptions
// (IException and the IE classes) pass their text through the translation
// hook before it is filled in.
#pragma once

#include <string>

#include "framework/exceptions.h"
#include "framework/format.h"

namespace setup {

class EAI : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

class EAIUserAbort : public EAI {
 public:
  EAIUserAbort() : EAI("Installation aborted by the user") {}
};

class EAICannotExpandContainerDirMV : public EAI {
 public:
  using EAI::EAI;
};

class EAICannotExpandInstallDirMV : public EAI {
 public:
  using EAI::EAI;
};

class ECustomPembrinAbnormal : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

class EPembrinAbnormal : public ECustomPembrinAbnormal {
 public:
  using ECustomPembrinAbnormal::ECustomPembrinAbnormal;
};

class EPmbrCompress : public EPembrinAbnormal {
 public:
  using EPembrinAbnormal::EPembrinAbnormal;
};

class EpcDiskFull : public EPmbrCompress {
 public:
  using EPmbrCompress::EPmbrCompress;
};

class EpcAborted : public EPmbrCompress {
 public:
  using EPmbrCompress::EPmbrCompress;
};

class EAPIRoutines : public EPembrinAbnormal {
 public:
  using EPembrinAbnormal::EPembrinAbnormal;
};

class EIRCannotWriteValue : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

// The translator replaces an English text by the same text of the chosen
// language; until one is installed, texts stay as written.
using TranslateFunction = std::string (*)(const std::string& english);
void SetTranslateHook(TranslateFunction translate);
std::string Translated(const std::string& english);
// The translated format filled with args; a translation whose codes do not
// fit the arguments falls back to the English format.
std::string FormatTranslated(const std::string& format, const fw::FormatArgs& args);

class IException : public ECustomPembrinAbnormal {
 public:
  explicit IException(const std::string& message);
  // A translated format that does not fit the arguments falls back to the
  // English format, so a faulty translation still gives a readable message.
  IException(const std::string& format, const fw::FormatArgs& args);
};

#define SETUP_IE_CLASS(Name, Parent) \
  class Name : public Parent {       \
   public:                           \
    using Parent::Parent;            \
  };

SETUP_IE_CLASS(IEInstallContainer, IException)
SETUP_IE_CLASS(IEFileRelated, IException)
SETUP_IE_CLASS(IEFileRel_NoNetLocation, IEFileRelated)
SETUP_IE_CLASS(IEFileContainer, IException)
SETUP_IE_CLASS(IEfcDuplicateFile, IEFileContainer)
SETUP_IE_CLASS(IENoPembrinPath, IException)
SETUP_IE_CLASS(IECustomInstallFile, IException)
SETUP_IE_CLASS(IECustomInstallFileList, IException)
SETUP_IE_CLASS(IEContainerList, IException)
SETUP_IE_CLASS(IEPathSpecifier, IException)
SETUP_IE_CLASS(IEPathSpecifierList, IException)
SETUP_IE_CLASS(IEInstall, IException)
SETUP_IE_CLASS(IEInstallNetLocNil, IEInstall)
SETUP_IE_CLASS(IEUninstallEXE, IException)
SETUP_IE_CLASS(IEInstallShellLink, IException)
SETUP_IE_CLASS(IEShellLinkGroup, IException)
SETUP_IE_CLASS(IEInstallShellLinkList, IException)
SETUP_IE_CLASS(IEFileGroupSelectForm, IException)
SETUP_IE_CLASS(IEAdvertisePanel, IException)

#undef SETUP_IE_CLASS

}  // namespace setup
