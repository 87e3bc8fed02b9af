// Where the terminal component goes in the main window, until it joins the
// program: a plain window that takes the port's received bytes, runs each one
// through the received-character filter into a screen buffer, shows the last
// rows and captures to the current file. It offers exactly what the capture
// logic asks of a terminal (capture::CaptureTerminal), so the terminal
// component replaces it without touching that logic.
#pragma once

#include <functional>
#include <memory>

#include "capture/capture_session.h"
#include "comm/apd_com_port.h"
#include "comm/buffer_sinks.h"
#include "comm/emu_command.h"
#include "framework/controls.h"

class TBuffer;

namespace capture {

// Passes every block to the real writer and remembers that bytes reached the
// disk, so the owner can look at the file's size once the write is over.
class WriteNoticingWriter : public comm::CaptureWriter {
 public:
  explicit WriteNoticingWriter(comm::CaptureWriter& inner) : inner_(inner) {}
  int Open(const std::string& name, bool append) override { return inner_.Open(name, append); }
  int Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) override;
  int Close() override;
  // True once since the last call when bytes were written.
  bool TakeWritten();

 private:
  comm::CaptureWriter& inner_;
  bool written_ = false;
};

class JournalView : public fw::TWinControl, public CaptureTerminal {
 public:
  explicit JournalView(fw::TComponent* owner);
  ~JournalView() override;

  // The port whose received bytes are shown while active.
  void SetComPort(comm::TApdComPort* port);
  bool Active() const { return active_; }
  void SetActive(bool active);
  // The emulator's character handler (the received-character filter).
  void SetProcessChar(std::function<void(std::uint8_t, TEmuCommand&)> handler);
  // Called after capture bytes reached the disk, once the buffer is done with them.
  std::function<void()> OnCaptureWritten;

  void SetCapture(CaptureMode mode) override;
  void SetCaptureFile(const std::string& name) override;
  void ClearAll() override;
  void ClearPage() override;
  CaptureMode Capture() const { return mode_; }
  const std::string& CaptureFile() const { return captureFile_; }

 protected:
  void Paint(fw::TCanvas& canvas) override;

 private:
  class View;
  static void ProcessChar(void* data, std::uint8_t ch, TEmuCommand& command);
  void TakeReceived();
  void NoticeWrites();

  std::unique_ptr<comm::CaptureWriter> fileWriter_;
  WriteNoticingWriter writer_;
  std::unique_ptr<View> view_;
  std::unique_ptr<TBuffer> buffer_;
  comm::TApdComPort* port_ = nullptr;
  std::function<void(std::uint8_t, TEmuCommand&)> processChar_;
  bool active_ = false;
  CaptureMode mode_ = CaptureMode::Off;
  std::string captureFile_ = "APD.CAP";
};

}  // namespace capture
