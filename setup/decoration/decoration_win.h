// The setup window's decorations as windows: the gradient backdrop and the
// rotated 3D label.
#pragma once

#include <windows.h>

#include "framework/extctrls.h"
#include "setup/decoration/decoration_core.h"

namespace setup {

// Tag -1 marks the one main instance of a decoration class: gives `self` the
// tag `value` in the framework's own field and keeps `main` on the instance
// so marked (the one before it gets 0).
template <class T>
void SetMainInstanceTag(T* self, long long value, T*& main) {
  if (value == -1 && main != self) {
    if (main) main->SetTag(0);
    main = self;
  } else if (value != -1 && main == self) {
    main = nullptr;
  }
  static_cast<fw::TComponent*>(self)->Tag = value;
}

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

  // The framework's Tag; -1 marks the main instance (one at a time).
  long long Tag() const { return fw::TComponent::Tag; }
  void SetTag(long long value);
  static TBackdrop* MainInstance();

 protected:
  void Paint(fw::TCanvas& canvas) override;
  bool FillsBackground() const override { return false; }

 private:
  TDirection direction_ = bdUp;
  TDecorColor startColor_ = 16711680;
  TDecorColor endColor_ = 0;
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

  long long Tag() const { return fw::TComponent::Tag; }
  void SetTag(long long value);
  static TRotate3DLabel* MainInstance();

 protected:
  void Paint(fw::TCanvas& canvas) override;
  // Always see-through: an opaque label fills only the polygon behind its text.
  bool FillsBackground() const override { return false; }

 private:
  TLabelStyle style_;
  bool myTransparent_ = true;
  TLabelAlignment alignment_ = laLeftJustify;
};

}  // namespace setup
