// Panel, bevel and image.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/controls.h"
#include "framework/graphics.h"

namespace fw {

enum class TBevelCut { bvNone, bvLowered, bvRaised };

// A container with an optional bevel and a centred caption.
class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

 protected:
  void Paint(TCanvas& canvas) override;

 private:
  TBevelCut bevelOuter_ = TBevelCut::bvRaised;
  TAlignment alignment_ = TAlignment::taCenter;
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle value);

 protected:
  void Paint(TCanvas& canvas) override;
  bool FillsBackground() const override { return false; }

 private:
  TBevelShape shape_ = TBevelShape::bsBox;
  TBevelStyle style_ = TBevelStyle::bsLowered;
};

// Shows a bitmap or an icon.
class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;
  TBitmap& Picture() { return picture_; }
  // Takes ownership of the icon; null clears it.
  void SetIcon(HICON icon);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // The picture changed (after drawing on it or loading it).
  void PictureChanged() { Invalidate(); }

 protected:
  void Paint(TCanvas& canvas) override;

 private:
  TBitmap picture_;
  HICON icon_ = nullptr;
  bool stretch_ = false, center_ = false, transparent_ = false;
};

}  // namespace fw
