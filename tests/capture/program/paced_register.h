// The register as a shop meets it at the end of a connection: it prints its
// journal at a steady pace and goes on printing while the capture program
// ends the connection. Every line carries its sequence number, so a hole
// shows, and the journal is plain text with CR LF, which the program's filter
// keeps whole: the capture file must be exactly a prefix of it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/support/pty_cable.h"

namespace capture_test {

inline constexpr std::size_t k9600BaudPace = 960;  // bytes a second
inline constexpr std::size_t k115200BaudPace = 11520;

inline std::string NumberedJournal(std::size_t size) {
  std::string journal;
  char line[64];
  for (int n = 0; journal.size() < size; ++n) {
    std::snprintf(line, sizeof line, "%07d SALE COFFEE 2.40 TOTAL 4.80\r\n", n);
    journal += line;
  }
  return journal;
}

class PacedRegister {
 public:
  // Starts sending `journal` into the cable, a piece every 50 ms.
  PacedRegister(test_support::PtyCable& cable, std::string journal, std::size_t bytesPerSecond)
      : cable_(cable), journal_(std::move(journal)), piece_(std::max<std::size_t>(bytesPerSecond / 20, 1)) {
    thread_ = std::thread([this] { Run(); });
  }
  ~PacedRegister() {
    RequestStop();
    if (thread_.joinable()) thread_.join();
  }
  PacedRegister(const PacedRegister&) = delete;
  PacedRegister& operator=(const PacedRegister&) = delete;

  // Stops after the piece under way; that piece may wait for room in the line.
  void RequestStop() { stop_ = true; }
  // True once the sender has stopped; what it sent is then final.
  bool Stopped() {
    if (!done_) return false;
    if (thread_.joinable()) thread_.join();
    return true;
  }
  std::string Sent() const { return journal_.substr(0, sent_); }

 private:
  void Run() {
    const DWORD start = GetTickCount();
    for (std::size_t n = 1; !stop_ && sent_ < journal_.size(); ++n) {
      const std::string piece = journal_.substr(sent_, piece_);
      cable_.Send(piece);
      sent_ += piece.size();
      const DWORD due = start + static_cast<DWORD>(n * 50);
      const DWORD now = GetTickCount();
      if (static_cast<long>(due - now) > 0) Sleep(due - now);
    }
    done_ = true;
  }

  test_support::PtyCable& cable_;
  const std::string journal_;
  const std::size_t piece_;
  std::atomic<std::size_t> sent_{0};
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// After the program has closed its port: stops the register and takes what
// the line still holds (socat's and the pseudo-terminals' buffers, the
// driver's queue) from the program's end of the cable. Sent() is then whole.
inline std::string StopAndTakeWhatTheLineHolds(test_support::PtyCable& cable, PacedRegister& register_) {
  register_.RequestStop();
  std::string left;
  // A piece waiting for room in the line goes on once this reading makes it.
  do left += cable.ReadProgramSide(1000);
  while (!register_.Stopped());
  left += cable.ReadProgramSide(1000);
  return left;
}

// The figures of one end, printed for the record.
inline void PrintFigures(const char* end, std::size_t pace, std::size_t sent, std::size_t left,
                         std::size_t written) {
  std::printf("FIGURES end=%s pace=%zu sent=%zu left_on_line=%zu taken=%zu written=%zu\n", end, pace, sent,
              left, sent - left, written);
  std::fflush(stdout);
}

}  // namespace capture_test
