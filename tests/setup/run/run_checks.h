// What tests read back after an install run: the test installer's event
// log, the installer's instance keys, values of the machine's keys and the
// renames left for the next start.
#pragma once

#include <windows.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "framework/registry_win.h"

namespace setup::run_checks {

inline constexpr char kInstanceRoot[] = "SOFTWARE\\Pembrin\\Install";

// The lines of a log, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Position of the first line equal to `line` from `from` on; -1 when none.
inline int Find(const std::vector<std::string>& lines, const std::string& line, int from = 0) {
  for (int i = std::max(from, 0); i < static_cast<int>(lines.size()); ++i)
    if (lines[static_cast<std::size_t>(i)] == line) return i;
  return -1;
}

inline bool AnyStartsWith(const std::vector<std::string>& lines, const std::string& prefix) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}

// Names of the instance keys whose "Path" names the program.
inline std::vector<std::string> InstanceKeysOf(const std::string& program) {
  std::vector<std::string> keys;
  fw::TRegistry registry(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKeyReadOnly(kInstanceRoot)) return keys;
  const auto names = registry.GetKeyNames();
  registry.CloseKey();
  for (const std::string& name : names) {
    fw::TRegistry key(HKEY_LOCAL_MACHINE);
    if (key.OpenKeyReadOnly(std::string(kInstanceRoot) + "\\" + name) &&
        _stricmp(key.ReadString("Path").value_or("").c_str(), program.c_str()) == 0)
      keys.push_back(name);
  }
  return keys;
}

// Name=data of every value of the machine's key, in the registry's order.
inline std::vector<std::string> MachineValues(const std::string& key) {
  std::vector<std::string> values;
  fw::TRegistry registry(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKeyReadOnly(key)) return values;
  for (const std::string& name : registry.GetValueNames())
    values.push_back(name + "=" + registry.ReadString(name).value_or("(not a string)"));
  return values;
}

// PendingFileRenameOperations as it is stored, zeros included.
inline std::string PendingRenames() {
  fw::TRegistry registry(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKeyReadOnly("System\\CurrentControlSet\\Control\\Session Manager")) return "";
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(registry.CurrentKey(), "PendingFileRenameOperations", nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS)
    return "";
  std::string text(size, '\0');
  RegQueryValueExA(registry.CurrentKey(), "PendingFileRenameOperations", nullptr, &type,
                   reinterpret_cast<BYTE*>(text.data()), &size);
  text.resize(size);
  return text;
}

}  // namespace setup::run_checks
