#include "framework/metafile.h"

#include "framework/exceptions.h"

namespace fw {

TMetafile::~TMetafile() {
  if (handle_) DeleteEnhMetaFile(handle_);
}

void TMetafile::SetHandle(HENHMETAFILE handle) {
  if (handle_ && handle_ != handle) DeleteEnhMetaFile(handle_);
  handle_ = handle;
}

HENHMETAFILE TMetafile::ReleaseHandle() {
  HENHMETAFILE handle = handle_;
  handle_ = nullptr;
  return handle;
}

TMetafileCanvas::TMetafileCanvas(TMetafile& metafile) : metafile_(metafile) {
  HDC screen = GetDC(nullptr);
  const int ppiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int ppiY = GetDeviceCaps(screen, LOGPIXELSY);
  // The frame is in 0.01 mm.
  const RECT frame{0, 0, MulDiv(metafile.Width, 2540, ppiX > 0 ? ppiX : 96),
                   MulDiv(metafile.Height, 2540, ppiY > 0 ? ppiY : 96)};
  dc_ = CreateEnhMetaFileA(screen, nullptr, metafile.Width > 0 && metafile.Height > 0 ? &frame : nullptr,
                           nullptr);
  ReleaseDC(nullptr, screen);
  if (!dc_) throw Exception("A page picture cannot be made (error " + std::to_string(GetLastError()) + ").");
  canvas_.SetHandle(dc_);
}

TMetafileCanvas::~TMetafileCanvas() { Close(); }

void TMetafileCanvas::Close() {
  if (!dc_) return;
  canvas_.Release();
  HENHMETAFILE recorded = CloseEnhMetaFile(dc_);
  dc_ = nullptr;
  metafile_.SetHandle(recorded);
}

}  // namespace fw
