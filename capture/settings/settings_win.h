// The Windows side of the settings store: the profile-file calls, the
// program's own path and the opener of the program's settings.
#pragma once

#include <memory>
#include <string>

#include "capture/settings/reg_ini.h"

namespace capture {

// GetPrivateProfileStringA / WritePrivateProfileStringA.
ProfileFile& SystemProfileFile();

// The full path of the program file; "" when the system cannot give it.
std::string ProgramFilePath();

// True only for an existing folder (a file of that name does not count).
bool FolderExists(const std::string& path);

// The settings of this program in `section` (normally "Maintain"), in the
// engine folder when it exists, else beside the program. Raises
// EStRegIniError when the file cannot be written. The caller frees it.
std::unique_ptr<TStRegIni> OpenSettings(const std::string& section);

// Program start and end: the support message table among the program's
// resources.
void StartSupportLibrary();
void FinishSupportLibrary();

}  // namespace capture
