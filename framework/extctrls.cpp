#include "framework/extctrls.h"

namespace fw {

// --- TPanel

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
  width_ = 185;
  height_ = 41;
  SetColor(clBtnFace);
}

void TPanel::SetBevelOuter(TBevelCut value) {
  bevelOuter_ = value;
  Invalidate();
}

void TPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TPanel::Paint(TCanvas& canvas) {
  RECT client{0, 0, ClientWidth(), ClientHeight()};
  if (bevelOuter_ != TBevelCut::bvNone)
    DrawEdge(canvas.Handle(), &client, bevelOuter_ == TBevelCut::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
             BF_RECT);
  const std::string caption = Caption();
  if (caption.empty()) return;
  InflateRect(&client, -2, -2);
  canvas.Brush.Style = TBrushStyle::bsClear;
  const UINT align = alignment_ == TAlignment::taCenter         ? DT_CENTER
                     : alignment_ == TAlignment::taRightJustify ? DT_RIGHT
                                                                : DT_LEFT;
  canvas.TextRect(client, caption, align | DT_VCENTER | DT_SINGLELINE);
}

// --- TBevel

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  width_ = 50;
  height_ = 50;
}

void TBevel::SetShape(TBevelShape value) {
  shape_ = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  style_ = value;
  Invalidate();
}

void TBevel::Paint(TCanvas& canvas) {
  RECT r{0, 0, width_, height_};
  const UINT edge = style_ == TBevelStyle::bsLowered ? EDGE_ETCHED : EDGE_BUMP;
  switch (shape_) {
    case TBevelShape::bsBox:
      DrawEdge(canvas.Handle(), &r, style_ == TBevelStyle::bsLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
               BF_RECT);
      break;
    case TBevelShape::bsFrame:
      DrawEdge(canvas.Handle(), &r, edge, BF_RECT);
      break;
    case TBevelShape::bsTopLine:
      DrawEdge(canvas.Handle(), &r, edge, BF_TOP);
      break;
    case TBevelShape::bsBottomLine:
      DrawEdge(canvas.Handle(), &r, edge, BF_BOTTOM);
      break;
    case TBevelShape::bsLeftLine:
      DrawEdge(canvas.Handle(), &r, edge, BF_LEFT);
      break;
    case TBevelShape::bsRightLine:
      DrawEdge(canvas.Handle(), &r, edge, BF_RIGHT);
      break;
    case TBevelShape::bsSpacer:
      break;
  }
}

// --- TImage

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  width_ = 105;
  height_ = 105;
}

TImage::~TImage() {
  if (icon_) DestroyIcon(icon_);
}

void TImage::SetIcon(HICON icon) {
  if (icon_) DestroyIcon(icon_);
  icon_ = icon;
  Invalidate();
}

void TImage::SetStretch(bool value) {
  stretch_ = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  center_ = value;
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
  if (icon_) {
    ICONINFO info{};
    int w = 32, h = 32;
    if (GetIconInfo(icon_, &info)) {
      BITMAP bitmap{};
      if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bitmap, &bitmap)) {
        w = bitmap.bmWidth;
        h = bitmap.bmHeight;
      }
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    const int x = center_ ? (width_ - w) / 2 : 0, y = center_ ? (height_ - h) / 2 : 0;
    DrawIconEx(canvas.Handle(), x, y, icon_, stretch_ ? width_ : w, stretch_ ? height_ : h, 0, nullptr,
               DI_NORMAL);
    return;
  }
  if (picture_.Empty()) return;
  const int x = center_ ? (width_ - picture_.Width()) / 2 : 0;
  const int y = center_ ? (height_ - picture_.Height()) / 2 : 0;
  if (stretch_) {
    StretchBlt(canvas.Handle(), 0, 0, width_, height_, picture_.Canvas().Handle(), 0, 0, picture_.Width(),
               picture_.Height(), SRCCOPY);
  } else if (transparent_) {
    canvas.DrawTransparent(x, y, picture_);
  } else {
    canvas.Draw(x, y, picture_);
  }
}

}  // namespace fw
