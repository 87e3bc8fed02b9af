// The serial port as the telephony line device drives it: the port opens on
// the comm handle of a connected call instead of its own port number.
#pragma once

#include <cstdint>

#include "comm/port/com_port.h"

namespace comm {

class TapiPortControl {
 public:
  virtual ~TapiPortControl() = default;
  virtual TTapiMode TapiMode() const = 0;
  virtual void SetTapiMode(TTapiMode mode) = 0;
  virtual void SetAutoOpen(bool autoOpen) = 0;
  virtual bool Open() const = 0;
  // Raises when the port cannot open. Opening in TTapiMode::tmOn hands the
  // comm handle over: the port closes it when it closes, and when the open
  // fails.
  virtual void SetOpen(bool open) = 0;
  // The comm handle the port opens on in TTapiMode::tmOn (0: none).
  virtual void SetTapiHandle(std::uintptr_t handle) = 0;
};

}  // namespace comm
