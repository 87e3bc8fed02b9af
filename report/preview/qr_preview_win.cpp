#include "report/preview/qr_preview_win.h"

#include <algorithm>
#include <optional>

#include "framework/graphics.h"
#include "report/printing/qr_printer.h"

namespace report {

TQRPreviewImage::TQRPreviewImage(fw::TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 100, 50); }

void TQRPreviewImage::ShowPage(std::int32_t n) {
  pageNumber_ = n;
  metafile_.SetHandle(nullptr);
  hasPage_ = false;
  if (producer_) {
    std::optional<PageImage> page;
    try {
      page = producer_->GetPage(n);
    } catch (const std::exception&) {
      // An unreadable page is shown as no page; printing it reports the fault.
    }
    if (page && !page->empty()) {
      metafile_.SetHandle(SetEnhMetaFileBits(static_cast<UINT>(page->size()), page->data()));
      hasPage_ = metafile_.Handle() != nullptr;
    }
  }
  Invalidate();
}

void TQRPreviewImage::Paint(fw::TCanvas& canvas) {
  if (!hasPage_) return;
  const int w = Width(), h = Height();
  canvas.Pen.Color = fw::clWhite;
  canvas.Pen.Width = 1;
  canvas.Brush.Color = fw::clWhite;
  canvas.Brush.Style = fw::TBrushStyle::bsSolid;
  canvas.Rectangle(1, 1, w - 3, h - 3);
  canvas.StretchDraw(RECT{0, 0, w, h}, metafile_.Handle());
  canvas.Pen.Color = fw::clBlack;
  canvas.MoveTo(0, 0);
  canvas.LineTo(0, h - 3);
  canvas.LineTo(w - 3, h - 3);
  canvas.LineTo(w - 3, 0);
  canvas.LineTo(0, 0);
  canvas.Brush.Color = fw::clBlack;
  canvas.FillRect(RECT{w - 2, 2, w, h});
  canvas.FillRect(RECT{2, h - 2, w, h});
}

TQRPreview::TQRPreview(fw::TComponent* owner) : TScrollBox(owner), image_(new TQRPreviewImage(this)) {
  SetBounds(0, 0, 250, 250);
  HorzScrollBar().SetTracking(true);
  VertScrollBar().SetTracking(true);
  image_->SetParent(this);
}

TQRPreview::~TQRPreview() {
  // The producer outlives no window that watches it unknowingly.
  if (producer_) {
    try {
      SetProducer(nullptr);
    } catch (...) {
    }
  }
}

void TQRPreview::SetProducer(TQRPrinter* producer) {
  TQRPrinter* previous = producer_;
  // Forgotten first, so nothing here refers to a producer released while it is
  // told that its preview went.
  producer_ = nullptr;
  image_->SetProducer(nullptr);
  if (previous && HandleAllocated() && previous->ClientWindow == reinterpret_cast<QRWindow>(Handle())) {
    previous->ClientWindow = 0;
    previous->SetPreviewShown(false);
  }
  producer_ = producer;
  image_->SetProducer(producer);
  if (producer) {
    producer->ClientWindow = reinterpret_cast<QRWindow>(Handle());
    producer->SetPreviewShown(true);
  }
  pageNumber_ = 1;
  image_->ShowPage(1);
  image_->OnClick = OnClick;
  image_->OnDblClick = OnDblClick;
  image_->OnMouseDown = OnMouseDown;
  image_->OnMouseUp = OnMouseUp;
  image_->OnMouseMove = OnMouseMove;
  Invalidate();
}

void TQRPreview::SetPageNumber(std::int32_t n) {
  if (!PreviewPageMoveTaken(n, pageNumber_, image_->HasPage(), producer_)) return;
  image_->ShowPage(n);
  pageNumber_ = n;
  PlaceImage();
}

void TQRPreview::SetZoom(std::int32_t zoom) {
  if (!PreviewZoomAccepted(zoom)) return;
  zoomState_ = TQRZoomState::zmFixed;
  zoom_ = zoom;
  UpdateLayout();
}

void TQRPreview::ZoomToFit() {
  if (const std::optional<std::int32_t> zoom = PreviewFitZoom(producer_, Width(), Height())) SetZoom(*zoom);
  zoomState_ = TQRZoomState::zmFit;
}

void TQRPreview::ZoomToWidth() {
  if (const std::optional<std::int32_t> zoom = PreviewWidthZoom(producer_, Width())) SetZoom(*zoom);
  zoomState_ = TQRZoomState::zmWidth;
}

void TQRPreview::UpdateLayout() {
  // The control's own size, scroll bars included: a scroll bar that comes or
  // goes then leaves the zoom as it is instead of changing it back and forth.
  placement_ = PreviewLayout(producer_, zoom_, Width(), Height());
  image_->SetZoom(zoom_);
  PlaceImage();
}

void TQRPreview::ShowFirstPage() {
  pageNumber_ = 1;
  image_->ShowPage(1);
  if (zoomState_ == TQRZoomState::zmFit)
    ZoomToFit();
  else if (zoomState_ == TQRZoomState::zmWidth)
    ZoomToWidth();
  UpdateLayout();
}

void TQRPreview::PlaceImage() {
  // Placed with the bars back at the start, where a new page or zoom is seen.
  HorzScrollBar().SetPosition(0);
  VertScrollBar().SetPosition(0);
  image_->SetBounds(placement_.Left, placement_.Top, placement_.Width, placement_.Height);
  image_->Invalidate();
  HorzScrollBar().SetRange(placement_.Left + placement_.Width);
  VertScrollBar().SetRange(placement_.Top + placement_.Height);
}

void TQRPreview::Resize() {
  // Showing or hiding a scroll bar resizes the client again: one pass is enough.
  if (!laying_) {
    laying_ = true;
    try {
      if (zoomState_ == TQRZoomState::zmFit)
        ZoomToFit();
      else if (zoomState_ == TQRZoomState::zmWidth)
        ZoomToWidth();
      UpdateLayout();
    } catch (...) {
      laying_ = false;
      throw;
    }
    laying_ = false;
  }
  TScrollBox::Resize();
}

void TQRPreview::RefreshPage() {
  if (!producer_ || image_->HasPage() || producer_->FinishedPages() < image_->PageNumber()) return;
  ZoomToWidth();
  image_->ShowPage(image_->PageNumber());
}

void TQRPreview::WndProc(fw::TMessage& message) {
  switch (message.Msg) {
    case QRM_PAGEAVAILABLE: {
      const auto n = static_cast<std::int32_t>(message.WParam);
      if (n == pageNumber_) RefreshPage();
      if (OnPageAvailable) OnPageAvailable(this, n);
      return;
    }
    case QRM_PROGRESS:
      if (OnProgressUpdate) OnProgressUpdate(this, static_cast<std::int32_t>(message.WParam));
      return;
    default:
      TScrollBox::WndProc(message);
  }
}

}  // namespace report
