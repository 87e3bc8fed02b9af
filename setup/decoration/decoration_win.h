// The setup window's decorations as windows: the gradient backdrop and the
// rotated 3D label.
#pragma once

#include <windows.h>

#include "framework/extctrls.h"
#include "setup/decoration/decoration_core.h"

namespace setup {

// A panel painted with a gradient of 256 bands (see GradientBands).
class TBackdrop : public fw::TPanel {
 public:
  explicit TBackdrop(fw::TComponent* owner);
  ~TBackdrop() override;

  TDirection Direction() const { return direction_; }
  void SetDirection(TDirection value);
  TDecorColor StartColor() const { return startColor_; }
  void SetStartColor(TDecorColor value);
  TDecorColor EndColor() const { return endColor_; }
  void SetEndColor(TDecorColor value);
  bool Locked = false;
  void Assign(const TBackdrop& other);

  // The main instance is the one whose Tag is -1 (one at a time).
  int Tag() const { return tag_; }
  void SetTag(int value);
  static TBackdrop* MainInstance();

 protected:
  void Paint(fw::TCanvas& canvas) override;
  bool FillsBackground() const override { return false; }

 private:
  TDirection direction_ = bdUp;
  TDecorColor startColor_ = 16711680;
  TDecorColor endColor_ = 0;
  int tag_ = 0;
};

// A label drawn at an angle with a raised, recessed or shadowed caption.
class TRotate3DLabel : public fw::TGraphicControl {
 public:
  explicit TRotate3DLabel(fw::TComponent* owner);
  ~TRotate3DLabel() override;

  TLabelStyle& LabelStyle() { return style_; }
  void SetLabelStyle(const TLabelStyle& value) { style_.Assign(value); }
  bool MyTransparent() const { return myTransparent_; }
  // Opaque labels have no 3D style: it is dropped at once.
  void SetMyTransparent(bool value);
  TLabelAlignment Alignment() const { return alignment_; }
  void SetAlignment(TLabelAlignment value);
  void Assign(const TRotate3DLabel& other);

  int Tag() const { return tag_; }
  void SetTag(int value);
  static TRotate3DLabel* MainInstance();

 protected:
  void Paint(fw::TCanvas& canvas) override;
  // Always see-through: an opaque label fills only the polygon behind its text.
  bool FillsBackground() const override { return false; }

 private:
  TLabelStyle style_;
  bool myTransparent_ = true;
  TLabelAlignment alignment_ = laLeftJustify;
  int tag_ = 0;
};

}  // namespace setup
