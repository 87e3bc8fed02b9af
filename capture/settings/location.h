// Where the capture program keeps its settings file, and the names in it.
#pragma once

#include <string>
#include <string_view>

namespace capture {

// The shared database engine's folder; when it exists the settings file
// lives there so that the programs of one shop share it.
inline constexpr const char* kEngineFolder = "C:\\Program Files\\Harrowgate\\Common Files\\HDB";

// This program's build variant.
inline constexpr int kBuildVariant = 0;

inline constexpr const char* kMaintainSection = "Maintain";
inline constexpr const char* kCommPortKey = "CommPort";
inline constexpr const char* kPhoneNumKey = "PhoneNum";
inline constexpr const char* kAutoConnectKey = "AutoConnect";
inline constexpr const char* kRegisterKey = "Register";  // build variant 1 only

// The full path of the settings file. Variants 0 to 2 have a fixed name in
// the engine folder when it exists, else beside the program; any other
// variant uses the program's path with the extension ".cgr".
std::string SettingsFilePath(int variant, std::string_view programPath, bool engineFolderExists);

// The folder part of a path, up to and including its last '\' or ':'.
std::string FolderOf(std::string_view path);

// The path with its extension (from the last '.' of the file name on)
// replaced, or the extension appended when it has none.
std::string WithExtension(std::string_view path, std::string_view extension);

}  // namespace capture
