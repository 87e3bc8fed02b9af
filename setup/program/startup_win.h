// The start-up and shutdown of the setup program's own module: its parts
// connected to this machine, and COM for the shell's link objects.
#pragma once

namespace setup {

// Adds the setup module to the framework's modules; its start-up runs with
// the others in fw::Modules().InitializeAll().
void AddSetupModule();

}  // namespace setup
