// Enhanced metafiles: a recorded picture, and the canvas that records one.
#pragma once

#include <windows.h>

#include "framework/graphics.h"

namespace fw {

class TMetafile {
 public:
  TMetafile() = default;
  ~TMetafile();
  TMetafile(const TMetafile&) = delete;
  TMetafile& operator=(const TMetafile&) = delete;

  // Size in screen pixels; a recording canvas sets the frame from it.
  int Width = 0;
  int Height = 0;
  HENHMETAFILE Handle() const { return handle_; }
  // Takes ownership of a metafile handle (freeing the one held).
  void SetHandle(HENHMETAFILE handle);
  // Gives the handle to the caller, who frees it.
  HENHMETAFILE ReleaseHandle();

 private:
  HENHMETAFILE handle_ = nullptr;
};

// Records drawing into a metafile, with the screen as the reference device.
// The picture's frame is the metafile's pixel size at the screen's pixels per
// inch, so its paper size can be read back from it. Close (or destruction)
// hands the recording to the metafile.
class TMetafileCanvas {
 public:
  explicit TMetafileCanvas(TMetafile& metafile);
  ~TMetafileCanvas();
  TMetafileCanvas(const TMetafileCanvas&) = delete;
  TMetafileCanvas& operator=(const TMetafileCanvas&) = delete;

  HDC Handle() const { return dc_; }
  TCanvas& Canvas() { return canvas_; }
  void Close();

 private:
  TMetafile& metafile_;
  HDC dc_ = nullptr;
  TCanvas canvas_;
};

}  // namespace fw
