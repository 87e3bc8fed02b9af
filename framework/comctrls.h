// Common controls of our own over the system's: the progress bar and the
// status bar.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

struct TStatusPanel {
  int Width = 50;
  TAlignment Alignment = TAlignment::taLeftJustify;
  std::string Text;
};

// A status bar of panels side by side, each of its width and alignment; the
// last one runs to the right edge so that its text is never cut.
class TStatusBar : public TWinControl {
 public:
  explicit TStatusBar(TComponent* owner);
  const char* TextPropertyName() const override { return ""; }
  int AddPanel(int width, TAlignment alignment = TAlignment::taLeftJustify);
  int PanelCount() const { return static_cast<int>(panels_.size()); }
  const TStatusPanel& Panel(int index) const { return panels_.at(static_cast<size_t>(index)); }
  void SetPanelText(int index, const std::string& text);
  // The bar's height as the system lays it out.
  int BarHeight();

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;

 private:
  void SendParts();
  void SendText(int index);
  std::vector<TStatusPanel> panels_;
};

}  // namespace fw
