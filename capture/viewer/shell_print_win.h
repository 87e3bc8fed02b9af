// Printing a whole file through the program its type is associated with.
// The shell is reached through a replaceable object, so that tests can stand
// a recorder in for the association.
#pragma once

#include <windows.h>

#include <string>

namespace capture {

struct ShellRequest {
  std::string Verb;
  std::string File;
  std::string Parameters;  // empty: none
  int Show = SW_HIDE;
};

class ShellVerbs {
 public:
  virtual ~ShellVerbs() = default;
  // Whether the file's association has a command for the verb.
  virtual bool Has(const std::string& file, const std::string& verb);
  // Asks the shell to carry out the request; false when it refused.
  virtual bool Run(const ShellRequest& request);
};

// The object every shell request goes through; null restores the system's.
// Returns the previous one (the caller keeps ownership of both).
ShellVerbs* SetShellVerbs(ShellVerbs* verbs);

// Prints the file: on the chosen printer through "printto" where the
// association has that verb, else through "Print" on the default printer.
bool PrintFileThroughShell(const std::string& file, const std::string& printerName);

// The device name in a print dialog's DEVNAMES block (empty when none).
std::string PrinterNameFromDevNames(HGLOBAL devNames);

}  // namespace capture
