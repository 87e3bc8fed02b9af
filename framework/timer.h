// A non-visual timer component. Freeing it from its own OnTimer is safe.
#pragma once

#include <memory>

#include "framework/component.h"

namespace fw {

class UtilityWindow;

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned milliseconds);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  TNotifyEvent OnTimer;

 protected:
  void Loaded() override;

 private:
  void Update();
  unsigned interval_ = 1000;
  bool enabled_ = true;
  std::unique_ptr<UtilityWindow> window_;
};

}  // namespace fw
