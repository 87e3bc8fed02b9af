// The call log: one line per call event appended to the call history file.
// The clock (already formatted as the locale's short date and long time) and
// the file are handed in, so the lines can be pinned in tests.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "comm/base/component.h"

namespace comm {

// Call events, passed to OnTapiLog and to the call log.
enum class TTapiLogCode : int {
  ltapiCallStart = 1,
  ltapiCallFinish = 2,
  ltapiDial = 3,
  ltapiAccept = 4,
  ltapiAnswer = 5,
  ltapiConnect = 6,
  ltapiCancel = 7,
  ltapiDrop = 8,
  ltapiBusy = 9,
  ltapiDialFail = 10,
  ltapiReceivedDigit = 11,
};

// What the log needs to know of the telephony device it belongs to.
class TapiLogDevice {
 public:
  virtual ~TapiLogDevice() = default;
  virtual std::string NumberToDial() const = 0;
  // The log is going away or now serves another device: forget it.
  virtual void ForgetLog(class TApdTapiLog* log) = 0;
};

// The line for one event, CR LF included; empty for a code without text.
std::string TapiLogLine(std::string_view timestamp, int code, std::string_view numberToDial);

// Appends bytes to a file, creating it only when it does not exist; raises
// on failure (a locked file is never replaced).
class HistoryFileAppender {
 public:
  virtual ~HistoryFileAppender() = default;
  virtual void Append(const std::string& path, std::string_view bytes) = 0;
};

// A component: a telephony device built on the same form binds to the first
// call log that serves no device yet.
class TApdTapiLog : public TApdBaseComponent {
 public:
  // `timestamp` gives the current date and time as text.
  TApdTapiLog(fw::TComponent* owner, std::function<std::string()> timestamp, HistoryFileAppender& file);
  ~TApdTapiLog() override;

  std::string TapiHistoryName = "CVLTAPI.HIS";  // relative: the current folder
  TapiLogDevice* TapiDevice = nullptr;

  virtual void UpdateLog(TTapiLogCode log);

 private:
  std::function<std::string()> timestamp_;
  HistoryFileAppender& file_;
};

}  // namespace comm
