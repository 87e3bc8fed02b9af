// The preview control: a scroll box showing one page of a page producer at a
// zoom, following the producer's page and progress messages while the report
// is still running.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "framework/controls.h"
#include "framework/metafile.h"
#include "framework/scrollbox.h"
#include "report/preview/preview_rules.h"

namespace report {

class TQRPrinter;

// One page metafile on white, with a black border and shadow.
class TQRPreviewImage : public fw::TGraphicControl {
 public:
  explicit TQRPreviewImage(fw::TComponent* owner);

  TQRPrinter* Producer() const { return producer_; }
  void SetProducer(TQRPrinter* producer) { producer_ = producer; }
  std::int32_t PageNumber() const { return pageNumber_; }
  std::int32_t Zoom() const { return zoom_; }
  void SetZoom(std::int32_t zoom) { zoom_ = zoom; }
  bool HasPage() const { return hasPage_; }
  HENHMETAFILE Metafile() const { return metafile_.Handle(); }
  // Takes page n from the producer; a page it cannot supply leaves the image
  // without one.
  void ShowPage(std::int32_t n);

 protected:
  void Paint(fw::TCanvas& canvas) override;

 private:
  TQRPrinter* producer_ = nullptr;
  std::int32_t pageNumber_ = 1;
  std::int32_t zoom_ = 100;
  fw::TMetafile metafile_;
  bool hasPage_ = false;
};

using TQRPageAvailableEvent = std::function<void(fw::TComponent* sender, std::int32_t pageNum)>;
using TQRProgressUpdateEvent = std::function<void(fw::TComponent* sender, std::int32_t progress)>;

class TQRPreview : public fw::TScrollBox {
 public:
  explicit TQRPreview(fw::TComponent* owner);
  ~TQRPreview() override;

  TQRPrinter* Producer() const { return producer_; }
  // Detaches from the producer shown (which stops a run it is watching) and
  // attaches to the new one, if any, showing its first page.
  void SetProducer(TQRPrinter* producer);
  std::int32_t PageNumber() const { return pageNumber_; }
  void SetPageNumber(std::int32_t n);
  std::int32_t Zoom() const { return zoom_; }
  void SetZoom(std::int32_t zoom);
  TQRZoomState ZoomState() const { return zoomState_; }
  void ZoomToFit();
  void ZoomToWidth();
  void UpdateLayout();
  // Page 1 of pages the producer replaced (a file loaded into it).
  void ShowFirstPage();
  TQRPreviewImage& Image() { return *image_; }
  // The pages a viewer may move to now.
  std::int32_t PagesAvailable() const { return PreviewPagesAvailable(producer_); }

  TQRPageAvailableEvent OnPageAvailable;
  TQRProgressUpdateEvent OnProgressUpdate;

  void WndProc(fw::TMessage& message) override;

 protected:
  void Resize() override;

 private:
  void RefreshPage();
  void PlaceImage();

  TQRPreviewImage* image_;
  TQRPrinter* producer_ = nullptr;
  std::int32_t zoom_ = 100;
  TQRZoomState zoomState_ = TQRZoomState::zmFixed;
  std::int32_t pageNumber_ = 1;
  QRImagePlacement placement_;
  bool laying_ = false;
};

}  // namespace report
