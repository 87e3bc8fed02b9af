#include "capture/program/session.h"

#include "comm/terminal/capture_buffer.h"
#include "framework/exceptions.h"

namespace capture {

CaptureSession::CaptureSession(CaptureTerminal& terminal, CaptureFileQuery& files, ShortDateSource& dates,
                               UserNotices& notices, std::string programFolder)
    : terminal_(terminal),
      files_(files),
      dates_(dates),
      notices_(notices),
      folder_(std::move(programFolder)) {}

void CaptureSession::UseFile(const std::string& name) {
  terminal_.SetCaptureFile(name);
  fileName_ = name;
  if (onFileNameChanged) onFileNameChanged(fileName_);
}

void CaptureSession::NewCaptureFile() {
  const std::string name = NextCaptureFileName(folder_, dates_.TodayShortDate(), files_);
  if (name.size() > maxCaptureNameLength) throw fw::Exception(NameNotMadeText(name));
  terminal_.SetCapture(CaptureMode::Off);
  UseFile(name);
  terminal_.SetCapture(CaptureMode::On);
}

void CaptureSession::FileNew(bool idle) {
  if (!idle) {
    notices_.Information("You must disconnect before selecting New");
    return;
  }
  terminal_.SetCapture(CaptureMode::Off);
  terminal_.ClearAll();
  NewCaptureFile();
}

bool CaptureSession::MayOpen(bool idle) {
  if (!idle) notices_.Information("You must disconnect before selecting Open");
  return idle;
}

void CaptureSession::OpenChosen(const std::string& chosen) {
  const auto size = files_.SizeOf(chosen);
  if (size && ExceedsCaptureLimit(*size)) {
    notices_.Error("File selected is too big.  Please select another");
    return;
  }
  if (size && !files_.CanRead(chosen)) {
    notices_.Error("Cannot Open, File Already in Use");
    return;
  }
  const std::string name = OpenedCaptureName(chosen, size.has_value());
  if (name.size() > maxCaptureNameLength) {
    notices_.Error(tooLongNameText);
    return;
  }
  // Off before the page is cleared: the cleared lines must not reach the old file.
  terminal_.SetCapture(CaptureMode::Off);
  terminal_.ClearPage();
  UseFile(name);
  terminal_.SetCapture(CaptureMode::Append);
}

void CaptureSession::Reopen() {
  // Without a file of ours there is nowhere to capture: never the terminal's
  // own default file, which nothing would ever roll over or show.
  if (fileName_.empty()) throw fw::Exception(noCaptureFileText);
  terminal_.SetCapture(CaptureMode::Off);
  terminal_.SetCapture(CaptureMode::Append);
}

void CaptureSession::Stop() { terminal_.SetCapture(CaptureMode::Off); }

void CaptureSession::TimerTick() {
  if (fileName_.empty()) return;  // nothing to write out; the user was told when the name failed
  try {
    Reopen();
  } catch (const fw::Exception& failure) {
    // The timer keeps firing while a box is open; one box per outage is enough.
    if (!failureReported_) {
      failureReported_ = true;
      notices_.Error(failure.Message());
    }
    return;
  }
  failureReported_ = false;
  CheckSize();
}

bool CaptureSession::CountWritten(std::size_t bytes) {
  sinceSizeCheck_ += bytes;
  if (sizeCheckDue_ || sinceSizeCheck_ < comm::captureBlockSize / 2) return false;
  sizeCheckDue_ = true;
  return true;
}

void CaptureSession::CheckSize() {
  sinceSizeCheck_ = 0;
  sizeCheckDue_ = false;
  const auto size = files_.SizeOf(fileName_);
  if (!size || !ExceedsCaptureLimit(*size)) return;
  NewCaptureFile();
  notices_.Information("File reached max size. New file is " + fileName_);
}

std::string NameNotMadeText(const std::string& name) {
  return "The capture file name could not be made: it would be longer than 255 characters.\n\n" + name +
         "\n\n" + noCaptureFileText;
}

}  // namespace capture
