// The report engine's exception, raised with a finished message. Expression
// faults are values, not exceptions; this is raised for faults in a report's
// own definition and in its page files.
#pragma once

#include "framework/exceptions.h"

namespace report {

class EQRError : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

}  // namespace report
