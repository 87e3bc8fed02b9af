// Recording stand-ins for the terminal's capture, the file system, the clock
// and the message boxes of the main window.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "capture/program/session.h"
#include "framework/exceptions.h"

namespace capture::testing {

class FakeFiles : public CaptureFileQuery {
 public:
  std::optional<std::uint64_t> SizeOf(const std::string& path) override {
    auto it = sizes.find(path);
    if (it == sizes.end()) return std::nullopt;
    return it->second;
  }
  bool CanRead(const std::string& path) override { return !locked.count(path); }
  std::map<std::string, std::uint64_t> sizes;
  std::map<std::string, bool> locked;
};

class FixedDate : public ShortDateSource {
 public:
  std::string TodayShortDate() override { return date; }
  std::string date = "12/8/2026";
};

// Logs every call as one word, so a test can pin their order.
class FakeTerminal : public CaptureTerminal {
 public:
  explicit FakeTerminal(FakeFiles& files) : files_(files) {}
  void SetCapture(CaptureMode mode) override {
    const char* names[] = {"off", "on", "append"};
    log.push_back(names[static_cast<int>(mode)]);
    if (order) order->push_back(std::string("capture ") + names[static_cast<int>(mode)]);
    if (mode == CaptureMode::Off && failStop) {
      capturing = false;
      throw fw::EInOutError(112, "Cannot write the capture file");
    }
    if (mode != CaptureMode::Off && failOpen) {
      capturing = false;
      throw fw::EInOutError(5, "Cannot open the capture file");
    }
    capturing = mode != CaptureMode::Off;
    if (capturing && (mode == CaptureMode::On || !files_.sizes.count(file))) files_.sizes[file] = 0;
  }
  void SetCaptureFile(const std::string& name) override {
    log.push_back("file " + name);
    file = name;
  }
  void ClearAll() override { log.push_back("clear all"); }
  void ClearPage() override { log.push_back(capturing ? "clear page into file" : "clear page"); }

  std::vector<std::string> log;
  std::vector<std::string>* order = nullptr;  // shared with other fakes, when set
  std::string file = "APD.CAP";
  bool capturing = false;
  bool failOpen = false;
  bool failStop = false;  // closing fails (the disk is full), capture ends anyway

 private:
  FakeFiles& files_;
};

class RecordingNotices : public UserNotices {
 public:
  void Information(const std::string& text) override { boxes.push_back("info: " + text); }
  void Error(const std::string& text) override { boxes.push_back("error: " + text); }
  std::vector<std::string> boxes;
};

}  // namespace capture::testing
