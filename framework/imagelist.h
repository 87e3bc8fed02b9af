// A list of equally sized images over the system's image list, the glyphs of
// tool bars and buttons.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/component.h"
#include "framework/graphics.h"

namespace fw {

class TImageList : public TComponent {
 public:
  // Images of width x height pixels; the list's window handle is made at once.
  TImageList(TComponent* owner, int width = 16, int height = 16);
  ~TImageList() override;
  std::string ClassName() const override { return "TImageList"; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const;
  // Cuts the bitmap into images of the list's size from left to right and
  // adds them, every pixel of maskColor left out; the bitmap itself stays as
  // it was. Returns the index of the first image added. A bitmap narrower or
  // lower than one image is refused with an exception.
  int AddMasked(TBitmap& bitmap, TColor maskColor);
  // Draws an image with its top left corner at (x, y), the masked pixels
  // leaving the canvas as it was. An index outside the list draws nothing
  // and returns false.
  bool Draw(TCanvas& canvas, int x, int y, int index);
  void Clear();
  // For the controls that show the images.
  HIMAGELIST Handle() const { return list_; }

 private:
  int width_, height_;
  HIMAGELIST list_ = nullptr;
};

}  // namespace fw
