// Connects the folder lookups to this machine: its registry and folders.
#pragma once

namespace setup {

void UseSystemMachine();

}  // namespace setup
