// Answers the message boxes a program shows (through fw::MessageDlg and the
// application's exception box) and keeps what they said, for tests.
#pragma once

#include <vector>

#include "framework/dialogs.h"

namespace fwtest {

class BoxAnswerer {
 public:
  // Every box is answered with `answer` (mrOk, mrYes, mrNo, ...).
  explicit BoxAnswerer(int answer) {
    previous_ = fw::SetMessageBoxFunction([this, answer](const fw::MessageBoxRequest& request) {
      boxes.push_back(request);
      return answer;
    });
  }
  ~BoxAnswerer() { fw::SetMessageBoxFunction(previous_); }
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  std::vector<fw::MessageBoxRequest> boxes;

 private:
  fw::MessageBoxFunction previous_;
};

}  // namespace fwtest
