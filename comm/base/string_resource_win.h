// The Windows side of the string tables and error texts: the program's own
// RCDATA resources, the system's messages, and the start-up of both.
#pragma once

#include "comm/base/exceptions.h"
#include "comm/base/string_resource.h"

namespace comm {

// RCDATA resources of the program's own module (GetModuleHandle(NULL)).
ResourceModule& ProgramResources();

// FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM) into a 255-character buffer.
SystemMessageSource& SystemMessages();

// Called first from WinMain, in this order: the system tick clock, the
// reader's messages, the error texts. Finish undoes them in reverse order.
void StartCommBase();
void FinishCommBase();

}  // namespace comm
