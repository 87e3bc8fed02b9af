#include "comm/lights/light_win.h"

namespace comm {

namespace {
constexpr int kLampSize = 13;
}

TApdCustomStatusLight::TApdCustomStatusLight(fw::TComponent* owner) : fw::TGraphicControl(owner) {
  SetBounds(Left(), Top(), kLampSize, kLampSize);
}

void TApdCustomStatusLight::SetLit(bool lit) {
  if (lit == lit_) return;
  lit_ = lit;
  Invalidate();
}

void TApdCustomStatusLight::SetLitColor(fw::TColor color) {
  if (color == litColor_) return;
  litColor_ = color;
  if (!hasGlyph_ && lit_) Invalidate();
}

void TApdCustomStatusLight::SetNotLitColor(fw::TColor color) {
  if (color == notLitColor_) return;
  notLitColor_ = color;
  if (!hasGlyph_ && !lit_) Invalidate();
}

void TApdCustomStatusLight::SetGlyph(fw::TBitmap* glyph) {
  // An empty bitmap is no glyph: the lamp would have no size at all.
  hasGlyph_ = glyph && !glyph->Empty();
  if (hasGlyph_) {
    glyph_.SetSize(glyph->Width(), glyph->Height());
    glyph_.Canvas().Draw(0, 0, *glyph);
    SetBounds(Left(), Top(), glyph_.Width() / 2, glyph_.Height());
  } else {
    glyph_.SetSize(0, 0);
    SetBounds(Left(), Top(), kLampSize, kLampSize);
  }
  Invalidate();
}

void TApdCustomStatusLight::SetBounds(int left, int top, int width, int height) {
  if (hasGlyph_) {
    width = glyph_.Width() / 2;
    height = glyph_.Height();
  }
  fw::TGraphicControl::SetBounds(left, top, width, height);
}

void TApdCustomStatusLight::Loaded() {
  fw::TGraphicControl::Loaded();
  hasGlyph_ = !glyph_.Empty();
  if (hasGlyph_) SetBounds(Left(), Top(), Width(), Height());
}

void TApdCustomStatusLight::Paint(fw::TCanvas& canvas) {
  const int width = Width(), height = Height();
  if (hasGlyph_) {
    canvas.Brush.Color = Color();
    canvas.Brush.Style = fw::TBrushStyle::bsSolid;
    canvas.FillRect(RECT{0, 0, width, height});
    // The glyph is twice as wide as the lamp: the half not on show falls
    // outside and is clipped.
    canvas.DrawTransparent(lit_ ? 0 : -(glyph_.Width() / 2), 0, glyph_);
    return;
  }
  canvas.Brush.Color = lit_ ? litColor_ : notLitColor_;
  canvas.Brush.Style = fw::TBrushStyle::bsSolid;
  canvas.FillRect(RECT{0, 0, width, height});
  canvas.Pen.Style = fw::TPenStyle::psSolid;
  canvas.Pen.Width = 1;
  canvas.Pen.Color = fw::clWhite;
  canvas.MoveTo(0, 0);
  canvas.LineTo(width, 0);
  canvas.MoveTo(0, 0);
  canvas.LineTo(0, height);
  canvas.Pen.Color = fw::clGray;
  canvas.MoveTo(width - 1, 1);
  canvas.LineTo(width - 1, height);
  canvas.MoveTo(1, height - 1);
  canvas.LineTo(width, height - 1);
}

}  // namespace comm
