// Common controls of our own over the system's: the progress bar.
#pragma once

#include <windows.h>

#include "framework/controls.h"

namespace fw {

// A bar filled from Min to Max by Position; the value is kept while the
// window does not exist and read back from the window while it does.
class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* owner);
  const char* TextPropertyName() const override { return ""; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  // A range with Min above Max is refused and leaves the range as it was.
  void SetRange(int min, int max);
  int Position() const;
  // Outside the range the position is clamped to it.
  void SetPosition(int position);

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void HandleDestroying() override;

 private:
  int min_ = 0, max_ = 100, position_ = 0;
};

}  // namespace fw
