// The terminal's capture as the capture logic drives it.
#pragma once

#include "capture/program/session.h"
#include "comm/terminal/terminal_win.h"

namespace capture {

class TerminalCapture : public CaptureTerminal {
 public:
  explicit TerminalCapture(comm::TApdTerminal& terminal) : terminal_(terminal) {}
  void SetCapture(CaptureMode mode) override {
    terminal_.SetCapture(mode == CaptureMode::Off  ? comm::cmOff
                         : mode == CaptureMode::On ? comm::cmOn
                                                   : comm::cmAppend);
  }
  void SetCaptureFile(const std::string& name) override { terminal_.SetCaptureFile(name); }
  void ClearAll() override {
    terminal_.ClearAll();
    terminal_.Invalidate();
  }
  void ClearPage() override { terminal_.ClearPage(); }

 private:
  comm::TApdTerminal& terminal_;
};

}  // namespace capture
