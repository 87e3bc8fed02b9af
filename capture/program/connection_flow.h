// Connecting and disconnecting the main window: the status text, the caption
// of the connect button and what happens to the port, the call and the capture
// file on the way. Every failure ends idle with a message, so the guards that
// compare the status with "IDLE" never stay locked.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "capture/program/session.h"

namespace capture {

inline constexpr char statusIdle[] = "IDLE";
inline constexpr char statusConnecting[] = "CONNECTING";
inline constexpr char statusDialing[] = "DIALING";
inline constexpr char statusCollecting[] = "COLLECTING";
inline constexpr char statusHangingUp[] = "HANGING UP";
inline constexpr char statusDisconnecting[] = "DISCONNECTING";

inline constexpr char connectCaption[] = "Connec&t";
// Windows ends the process soon after the session's end: a hang-up then
// waits this long at most for the line.
inline constexpr std::uint32_t kSessionEndHangUpMs = 3000;

// The box shown when the line fails under a connection.
std::string LineFailedText(const std::string& portName, const std::string& systemText);
inline constexpr char disconnectCaption[] = "&Disconnect";

// The port, terminal, telephony device and status lights as the flow uses
// them. Operations that can fail raise an exception derived from std::exception.
class ConnectionDevices {
 public:
  virtual ~ConnectionDevices() = default;
  // 8 data bits, no parity, one stop bit; the port's telephony mode field becomes tmAuto.
  virtual void PrepareLine() = 0;
  virtual void OpenDirect(int portNumber) = 0;
  virtual void CloseDirect() = 0;
  // A telephony connection opens no numbered port.
  virtual void UseCallPort() = 0;
  virtual void ActivateTerminal(bool active) = 0;
  virtual void StartMonitoring() = 0;
  virtual void Dial(const std::string& device, const std::string& number) = 0;
  virtual void CancelCall() = 0;
  // As CancelCall, waiting at most `ms` for the line's answers.
  virtual void CancelCallWithin(std::uint32_t ms) = 0;
  virtual void SetTapiModeOff() = 0;
};

class ConnectionView {
 public:
  virtual ~ConnectionView() = default;
  virtual void ShowStatus(const std::string& status) = 0;
  virtual void ShowConnectCaption(const std::string& caption) = 0;
};

class ConnectionFlow {
 public:
  ConnectionFlow(ConnectionDevices& devices, ConnectionView& view, CaptureSession& capture,
                 UserNotices& notices);

  const std::string& Status() const { return status_; }
  const std::string& ConnectCaption() const { return caption_; }
  bool Idle() const { return status_ == statusIdle; }

  // The button: connects when its caption reads "Connec&t", disconnects otherwise.
  void Toggle(const std::string& device, const std::string& phone);
  // The menu items do what they say.
  void MenuConnect(const std::string& device, const std::string& phone);
  void MenuDisconnect(const std::string& device, const std::string& phone);

  void Connect(const std::string& device, const std::string& phone);
  void Disconnect(const std::string& device, const std::string& phone);
  // The call is connected and the port runs on it.
  void CallConnected();
  // The port closed under a connection (the far end hung up).
  void LineClosed();
  // The call ended without connecting (busy after its retries, no answer, a
  // redial that failed).
  void CallFailed();

  // The line failed under a connection (its device is gone): capture stops,
  // so the file holds everything received, the port closes, and one box
  // names the port and the system's reason.
  void LineFailed(const std::string& portName, const std::string& systemText);
  // Every end of a connection closes the port before capture stops: the
  // port's close hands every byte taken from the line to the terminal, and
  // so to the capture file.
  //
  // Window closing: hang up a call, close the port, stop capture. Failures
  // are reported, never raised.
  void Close(const std::string& phone);
  // Windows is ending the session: the process may be ended as soon as this
  // returns and nobody is there to answer a box. The port is closed and
  // capture written out, then `keepSettings` runs, then a call is hung up
  // within kSessionEndHangUpMs; failures are neither raised nor shown.
  void EndSession(const std::string& phone, const std::function<void()>& keepSettings = {});

 private:
  void SetStatus(const std::string& status);
  void SetCaption(const std::string& caption);
  void FailConnect();
  void StartMonitoring();

  ConnectionDevices& devices_;
  ConnectionView& view_;
  CaptureSession& capture_;
  UserNotices& notices_;
  std::string status_;
  std::string caption_;
};

}  // namespace capture
