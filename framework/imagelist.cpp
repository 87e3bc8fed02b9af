#include "framework/imagelist.h"

#include "framework/exceptions.h"

namespace fw {

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height) {
  if (width <= 0 || height <= 0) throw Exception("Invalid image size");
  InitCommonControls();
  list_ = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4);
  if (!list_) throw EOutOfMemory();
}

TImageList::~TImageList() { ImageList_Destroy(list_); }

int TImageList::Count() const { return ImageList_GetImageCount(list_); }

int TImageList::AddMasked(TBitmap& bitmap, TColor maskColor) {
  if (bitmap.Width() < width_ || bitmap.Height() < height_) throw Exception("Invalid image size");
  // The system's list wants a bitmap that no device context holds, and it
  // blackens the masked pixels of what it is given: it gets a copy.
  const int width = bitmap.Width() / width_ * width_;
  HDC screen = GetDC(nullptr);
  HBITMAP copy = CreateCompatibleBitmap(screen, width, height_);
  HDC memory = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (!copy || !memory) {
    if (copy) DeleteObject(copy);
    if (memory) DeleteDC(memory);
    throw EOutOfMemory();
  }
  HGDIOBJ old = SelectObject(memory, copy);
  BitBlt(memory, 0, 0, width, height_, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  const int first = ImageList_AddMasked(list_, copy, ColorToRGB(maskColor));
  DeleteObject(copy);
  if (first < 0) throw EOutOfMemory();
  return first;
}

bool TImageList::Draw(TCanvas& canvas, int x, int y, int index) {
  if (index < 0 || index >= Count()) return false;
  if (!canvas.Handle()) throw Exception("Canvas does not allow drawing");
  return ImageList_Draw(list_, index, canvas.Handle(), x, y, ILD_TRANSPARENT) != FALSE;
}

void TImageList::Clear() { ImageList_RemoveAll(list_); }

}  // namespace fw
