// The report engine's exception: raised with a finished message.
#pragma once

#include "framework/exceptions.h"

class EQRError : public fw::Exception { public: using fw::Exception::Exception; };
