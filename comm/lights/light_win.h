// One status lamp: a small square in the lit or the not-lit colour with a
// light top-left and a grey bottom-right edge, or one of the two halves of a
// glyph (lit on the left, not lit on the right).
#pragma once

#include <string>

#include "comm/lights/controller.h"
#include "framework/controls.h"
#include "framework/graphics.h"

namespace comm {

class TApdCustomStatusLight : public fw::TGraphicControl, public StatusLamp {
 public:
  explicit TApdCustomStatusLight(fw::TComponent* owner);

  std::string CvlVersion() const { return "v2.57"; }

  bool Lit() const override { return lit_; }
  void SetLit(bool lit) override;
  fw::TColor LitColor() const { return litColor_; }
  void SetLitColor(fw::TColor color);
  fw::TColor NotLitColor() const { return notLitColor_; }
  void SetNotLitColor(fw::TColor color);

  // The glyph as held; a form description may load it in place.
  fw::TBitmap& Glyph() { return glyph_; }
  // Copies `glyph` (null or empty: no glyph) and sizes the lamp to one half.
  void SetGlyph(fw::TBitmap* glyph);
  bool HasGlyph() const { return hasGlyph_; }

  void SetBounds(int left, int top, int width, int height) override;
  fw::TComponent& LampComponent() override { return *this; }

 protected:
  void Loaded() override;
  void Paint(fw::TCanvas& canvas) override;

 private:
  fw::TBitmap glyph_;
  bool lit_ = false;
  bool hasGlyph_ = false;
  fw::TColor litColor_ = fw::clRed;
  fw::TColor notLitColor_ = fw::clGreen;
};

class TApdStatusLight : public TApdCustomStatusLight {
 public:
  using TApdCustomStatusLight::TApdCustomStatusLight;
};

}  // namespace comm
