#include "capture/program/connection_flow.h"

#include <exception>

#include "capture/program/connection_rules.h"

namespace capture {

ConnectionFlow::ConnectionFlow(ConnectionDevices& devices, ConnectionView& view, CaptureSession& capture,
                               UserNotices& notices)
    : devices_(devices), view_(view), capture_(capture), notices_(notices) {
  // Idle before anything else can fail.
  SetStatus(statusIdle);
  SetCaption(connectCaption);
}

void ConnectionFlow::SetStatus(const std::string& status) {
  status_ = status;
  view_.ShowStatus(status_);
}

void ConnectionFlow::SetCaption(const std::string& caption) {
  caption_ = caption;
  view_.ShowConnectCaption(caption_);
}

void ConnectionFlow::FailConnect() {
  SetCaption(connectCaption);
  SetStatus(statusIdle);
}

void ConnectionFlow::Toggle(const std::string& device, const std::string& phone) {
  if (caption_ != connectCaption) {
    SetCaption(connectCaption);
    Disconnect(device, phone);
  } else {
    SetCaption(disconnectCaption);
    Connect(device, phone);
  }
}

void ConnectionFlow::MenuConnect(const std::string& device, const std::string& phone) {
  if (Idle()) Toggle(device, phone);
}

void ConnectionFlow::MenuDisconnect(const std::string& device, const std::string& phone) {
  if (Idle()) {
    notices_.Information("Not Currently Connected");
    return;
  }
  SetCaption(connectCaption);
  Disconnect(device, phone);
}

void ConnectionFlow::Connect(const std::string& device, const std::string& phone) {
  SetCaption(disconnectCaption);
  SetStatus(statusConnecting);
  if (device == noDeviceName) {
    FailConnect();
    notices_.Information("No Device Selected");
    return;
  }
  try {
    capture_.Reopen();
  } catch (const std::exception& failure) {
    FailConnect();
    notices_.Error(failure.what());
    return;
  }
  if (!IsDirectDevice(device)) {
    if (phone.empty()) {
      FailConnect();
      notices_.Error("Need Phone Number");
      return;
    }
    try {
      devices_.PrepareLine();
      devices_.UseCallPort();
      StartMonitoring();
      SetStatus(statusDialing);
      devices_.Dial(device, phone);
    } catch (const std::exception&) {
      FailConnect();
      notices_.Error("Unable to Connect to Modem");
      return;
    }
    // The call may already be connected: Dial serves the message loop while it waits.
    return;
  }
  const int port = DirectPortNumber(device).value();
  bool opened = true;
  try {
    devices_.PrepareLine();
    devices_.OpenDirect(port);
  } catch (const std::exception&) {
    opened = false;
  }
  if (!opened) {
    FailConnect();
    notices_.Error("Unable to Open Port, it is either unavailable or in use");
    return;
  }
  devices_.ActivateTerminal(true);
  StartMonitoring();
  SetStatus(statusCollecting);
}

void ConnectionFlow::StartMonitoring() {
  try {
    devices_.StartMonitoring();
  } catch (const std::exception&) {
    // No light is bound to the controller; a line that cannot report its modem
    // lines still carries the journal.
  }
}

void ConnectionFlow::Disconnect(const std::string& device, const std::string& phone) {
  if (!IsDirectDevice(device)) {
    try {
      if (!phone.empty() && !Idle()) {
        SetStatus(statusHangingUp);
        devices_.CancelCall();
      } else {
        notices_.Information("Not Currently Connected");
      }
    } catch (const std::exception&) {
      // Hanging up ends idle whatever the line says.
    }
    SetStatus(statusIdle);
  } else {
    SetStatus(statusDisconnecting);
    try {
      devices_.CloseDirect();
    } catch (const std::exception& failure) {
      notices_.Error(failure.what());
    }
    devices_.ActivateTerminal(false);
    SetStatus(statusIdle);
  }
  devices_.SetTapiModeOff();
  capture_.Stop();
}

void ConnectionFlow::CallConnected() {
  SetStatus(statusCollecting);
  SetCaption(disconnectCaption);
}

void ConnectionFlow::LineClosed() {
  // Our own disconnect closes the port too; only a close under a live
  // connection or a call being placed returns to idle here.
  if (status_ != statusCollecting && status_ != statusDialing) return;
  SetCaption(connectCaption);
  SetStatus(statusIdle);
  devices_.SetTapiModeOff();
  capture_.Stop();
}

void ConnectionFlow::CallFailed() {
  // Hanging up or closing while the call is placed ends it too; only a call
  // still being placed is a failure to report.
  if (status_ != statusDialing && status_ != statusConnecting) return;
  FailConnect();
  devices_.SetTapiModeOff();
  capture_.Stop();
  notices_.Error("Unable to Connect to Modem");
}

std::string LineFailedText(const std::string& portName, const std::string& systemText) {
  std::string text = "The connection on " + portName + " failed";
  text += systemText.empty() ? "." : ": " + systemText;
  if (text.back() != '.') text += '.';
  return text +
         "\n\nCollecting has stopped; everything received is in the capture file. Check the cable or "
         "adapter, then choose Connect.";
}

void ConnectionFlow::LineFailed(const std::string& portName, const std::string& systemText) {
  if (Idle()) return;
  SetCaption(connectCaption);
  SetStatus(statusDisconnecting);
  try {
    devices_.CloseDirect();
  } catch (const std::exception&) {
    // The device is gone; closing what is left of it may fail too.
  }
  try {
    capture_.Stop();
  } catch (const std::exception&) {
  }
  devices_.ActivateTerminal(false);
  devices_.SetTapiModeOff();
  SetStatus(statusIdle);
  notices_.Error(LineFailedText(portName, systemText));
}

void ConnectionFlow::Close(const std::string& phone) {
  if (!Idle()) {
    if (!phone.empty()) {
      SetStatus(statusHangingUp);
      try {
        devices_.CancelCall();
      } catch (const std::exception& failure) {
        notices_.Error(failure.what());
      }
    }
    // Whatever opened the port (a direct connect, or a call the hang-up
    // left open), it closes while capture is still on.
    try {
      devices_.CloseDirect();
    } catch (const std::exception& failure) {
      notices_.Error(failure.what());
    }
  }
  try {
    capture_.Stop();
  } catch (const std::exception& failure) {
    notices_.Error(failure.what());
  }
}

void ConnectionFlow::EndSession(const std::string& phone, const std::function<void()>& keepSettings) {
  const bool connected = !Idle();
  // Whatever opened the port (a direct connect or the call), it closes first:
  // nothing a hang-up does can then keep the journal from the disk.
  if (connected) {
    try {
      devices_.CloseDirect();
    } catch (const std::exception&) {
    }
  }
  try {
    capture_.Stop();
  } catch (const std::exception&) {
  }
  if (keepSettings) {
    try {
      keepSettings();
    } catch (const std::exception&) {
    }
  }
  if (!connected) return;
  if (!phone.empty()) {
    SetStatus(statusHangingUp);
    try {
      devices_.CancelCallWithin(kSessionEndHangUpMs);
    } catch (const std::exception&) {
    }
  }
  try {
    devices_.ActivateTerminal(false);
    devices_.SetTapiModeOff();
  } catch (const std::exception&) {
  }
  FailConnect();
}

}  // namespace capture
