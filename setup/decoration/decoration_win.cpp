#include "setup/decoration/decoration_win.h"

#include <vector>

namespace setup {

namespace {
TBackdrop* mainBackdrop = nullptr;
TRotate3DLabel* mainLabel = nullptr;

}  // namespace

TBackdrop::TBackdrop(fw::TComponent* owner) : fw::TPanel(owner) {
  SetBevelOuter(fw::TBevelCut::bvNone);
  SetAlign(fw::TAlign::alClient);
}

TBackdrop::~TBackdrop() {
  if (mainBackdrop == this) mainBackdrop = nullptr;
}

void TBackdrop::SetDirection(TDirection value) {
  if (value == direction_) return;
  direction_ = value;
  Invalidate();
}

void TBackdrop::SetStartColor(TDecorColor value) {
  if (value == startColor_) return;
  startColor_ = value;
  Invalidate();
}

void TBackdrop::SetEndColor(TDecorColor value) {
  if (value == endColor_) return;
  endColor_ = value;
  Invalidate();
}

void TBackdrop::Assign(const TBackdrop& other) {
  direction_ = other.direction_;
  endColor_ = other.endColor_;
  startColor_ = other.startColor_;
  SetAlign(other.Align());
  Invalidate();
}

void TBackdrop::SetTag(long long value) { SetMainInstanceTag(this, value, mainBackdrop); }
TBackdrop* TBackdrop::MainInstance() { return mainBackdrop; }

void TBackdrop::Paint(fw::TCanvas& canvas) {
  const TGradientPlan plan = GradientPlanFor(direction_, startColor_, endColor_);
  const int width = ClientWidth(), height = ClientHeight();
  HDC dc = canvas.Handle();
  for (const TGradientBand& band : GradientBands(plan, plan.Across ? width : height)) {
    if (band.To <= band.From) continue;
    const RECT r = plan.Across ? RECT{band.From, 0, band.To, height} : RECT{0, band.From, width, band.To};
    HBRUSH brush = CreateSolidBrush(band.Color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
}

TRotate3DLabel::TRotate3DLabel(fw::TComponent* owner) : fw::TGraphicControl(owner) {
  Font().SetName("Arial");
  Font().SetStyle(fw::fsBold);
  style_.OnChange = [this] { Invalidate(); };
}

TRotate3DLabel::~TRotate3DLabel() {
  if (mainLabel == this) mainLabel = nullptr;
}

void TRotate3DLabel::SetMyTransparent(bool value) {
  if (value == myTransparent_) return;
  myTransparent_ = value;
  if (!value) style_.SetAStyle3D(A3dNormal);
  Invalidate();
}

void TRotate3DLabel::SetAlignment(TLabelAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TRotate3DLabel::Assign(const TRotate3DLabel& other) {
  SetCaption(other.Caption());
  style_.Assign(other.style_);
  Font().Assign(const_cast<TRotate3DLabel&>(other).Font());
  SetAlign(other.Align());
  SetBounds(other.Left(), other.Top(), other.Width(), other.Height());
  SetMyTransparent(other.myTransparent_);
}

void TRotate3DLabel::SetTag(long long value) { SetMainInstanceTag(this, value, mainLabel); }
TRotate3DLabel* TRotate3DLabel::MainInstance() { return mainLabel; }

void TRotate3DLabel::Paint(fw::TCanvas& canvas) {
  if (!myTransparent_) style_.SetAStyle3D(A3dNormal);
  const T3DEffectShort effect = style_.AStyle3D();
  const TShadeOffsets offsets = ShadeOffsetsFor(effect);
  HDC dc = canvas.Handle();

  LOGFONTA description{};
  GetObjectA(Font().Handle(), sizeof description, &description);
  description.lfEscapement = description.lfOrientation = style_.Angle() * 10;
  description.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  HFONT rotated = CreateFontIndirectA(&description);
  HGDIOBJ previous = SelectObject(dc, rotated);
  SetBkMode(dc, TRANSPARENT);

  const std::string caption = Caption();
  SIZE extent{};
  GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  const int width = ClientWidth(), height = ClientHeight();
  const TDecorPoint origin = LabelTextOrigin(style_.Angle(), alignment_, width, height, extent.cx, extent.cy);

  if (!myTransparent_) {
    std::vector<POINT> corners;
    for (const TDecorPoint& p : LabelBackgroundPolygon(style_.Angle(), width, height, extent.cx, extent.cy))
      corners.push_back({p.X, p.Y});
    HBRUSH brush = CreateSolidBrush(fw::ColorToRGB(Color()));
    HPEN pen = CreatePen(PS_SOLID, 1, fw::ColorToRGB(Color()));
    HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
    ::Polygon(dc, corners.data(), static_cast<int>(corners.size()));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
  }
  auto draw = [&](TDecorColor colour, int x, int y) {
    SetTextColor(dc, colour);
    ::TextOutA(dc, x, y, caption.c_str(), static_cast<int>(caption.size()));
  };
  if (effect == A3dResit || effect == A3dRaised)
    draw(style_.AShadeLeftTop(), origin.X + offsets.Light, origin.Y + offsets.Light);
  if (effect == A3dShadowed)
    draw(style_.AShadeRightBottom(), origin.X + style_.AHShadeOffSet(), origin.Y + style_.AVShadeOffSet());
  else if (effect == A3dResit || effect == A3dRaised)
    draw(style_.AShadeRightBottom(), origin.X + offsets.Dark, origin.Y + offsets.Dark);
  draw(fw::ColorToRGB(Font().Color()), origin.X, origin.Y);

  SelectObject(dc, previous);
  DeleteObject(rotated);
}

}  // namespace setup
