// Program Manager reached through the system's DDE messages.
#pragma once

#include <memory>

#include "setup/shell/program_manager.h"

namespace setup {

// A conversation over the framework's DDE client.
std::unique_ptr<TDdeConversation> NewSystemDdeConversation();
// Makes the program's Program Manager instance use the system's DDE.
void UseSystemProgramManager();

}  // namespace setup
