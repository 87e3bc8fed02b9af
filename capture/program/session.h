// The capture file of the main window: which file is current, starting a new
// dated file, switching to a chosen file, and rolling over when a file grows
// past the limit. The terminal and the message boxes are reached through the
// interfaces below, so every decision here runs without a window.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "capture/program/files.h"

namespace capture {

enum class CaptureMode { Off, On, Append };

// The terminal's capture. SetCapture raises fw::Exception when the file cannot be opened.
class CaptureTerminal {
 public:
  virtual ~CaptureTerminal() = default;
  virtual void SetCapture(CaptureMode mode) = 0;
  virtual void SetCaptureFile(const std::string& name) = 0;
  // Blank screen and scroll-back, repainted.
  virtual void ClearAll() = 0;
  virtual void ClearPage() = 0;
};

// The message boxes, each with one OK button.
class UserNotices {
 public:
  virtual ~UserNotices() = default;
  virtual void Information(const std::string& text) = 0;
  virtual void Error(const std::string& text) = 0;
};

class CaptureSession {
 public:
  CaptureSession(CaptureTerminal& terminal, CaptureFileQuery& files, ShortDateSource& dates,
                 UserNotices& notices, std::string programFolder);

  // The one name of the current capture file.
  const std::string& FileName() const { return fileName_; }
  // Called with the new name whenever the current file changes (the window shows it).
  std::function<void(const std::string&)> onFileNameChanged;

  // Next free dated name, capture restarted on it (created or truncated).
  // Raises fw::Exception when the name is too long (capture and the current
  // file unchanged) or the file cannot be made.
  void NewCaptureFile();
  // File New: only while idle; capture stops before the screen is cleared.
  void FileNew(bool idle);
  // File Open before its dialog: false (after the box) when not idle.
  bool MayOpen(bool idle);
  // File Open after the dialog: checks the chosen file and captures to it in append mode.
  void OpenChosen(const std::string& chosen);
  // Connect: the current file is flushed and reopened in append mode. Raises on
  // failure, and when there is no current file (no dated name could be made).
  void Reopen();
  void Stop();
  // The two-minute timer: flush, reopen, size check. An open failure is
  // reported once, then again only after capture has worked in between.
  void TimerTick();
  // After capture bytes reached the disk: roll over when the file is full.
  void CheckSize();
  // Bytes written toward the capture file. True when the file's size is to be
  // looked at: once half a capture block has passed since the last look, the
  // file may have grown by a block. The caller runs CheckSize later, from the
  // message loop, outside the terminal's work; until then no other look is asked.
  bool CountWritten(std::size_t bytes);
  // The look asked for could not be queued: the next bytes ask again.
  void SizeCheckNotQueued() { sizeCheckDue_ = false; }

 private:
  void UseFile(const std::string& name);

  CaptureTerminal& terminal_;
  CaptureFileQuery& files_;
  ShortDateSource& dates_;
  UserNotices& notices_;
  std::string folder_;
  std::string fileName_;
  bool failureReported_ = false;
  std::size_t sinceSizeCheck_ = 0;
  bool sizeCheckDue_ = false;
};

inline constexpr char tooLongNameText[] = "The file name is longer than 255 characters";
inline constexpr char noCaptureFileText[] =
    "There is no capture file to collect into: choose one with File, Open, or move the program to a folder "
    "with a shorter path.";
// The box when the dated name of a new capture file is too long.
std::string NameNotMadeText(const std::string& name);

}  // namespace capture
