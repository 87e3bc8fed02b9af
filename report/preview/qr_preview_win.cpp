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

TQRPreview::TQRPreview(fw::TComponent* owner) : TWinControl(owner), image_(new TQRPreviewImage(this)) {
  SetBounds(0, 0, 250, 250);
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

void TQRPreview::CreateParams(fw::TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_HSCROLL | WS_VSCROLL;
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
  scrollX_ = scrollY_ = 0;
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
  scrollX_ = scrollY_ = 0;
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
  image_->SetBounds(placement_.Left - scrollX_, placement_.Top - scrollY_, placement_.Width,
                    placement_.Height);
  image_->Invalidate();
  UpdateScrollBars();
}

void TQRPreview::UpdateScrollBars() {
  if (!HandleAllocated()) return;
  const auto set = [&](int bar, int extent, int page, int pos) {
    SCROLLINFO info{sizeof info,
                    SIF_RANGE | SIF_PAGE | SIF_POS,
                    0,
                    std::max(extent - 1, 0),
                    static_cast<UINT>(std::max(page, 0)),
                    pos,
                    0};
    SetScrollInfo(Handle(), bar, &info, TRUE);
  };
  set(SB_HORZ, placement_.Left + placement_.Width, ClientWidth(), scrollX_);
  set(SB_VERT, placement_.Top + placement_.Height, ClientHeight(), scrollY_);
}

void TQRPreview::Scroll(int bar, WORD request) {
  SCROLLINFO info{sizeof info, SIF_ALL};
  GetScrollInfo(Handle(), bar, &info);
  int pos = info.nPos;
  const int line = 16;
  switch (request) {
    case SB_LINEUP:
      pos -= line;
      break;
    case SB_LINEDOWN:
      pos += line;
      break;
    case SB_PAGEUP:
      pos -= static_cast<int>(info.nPage);
      break;
    case SB_PAGEDOWN:
      pos += static_cast<int>(info.nPage);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = info.nTrackPos;
      break;
    case SB_TOP:
      pos = info.nMin;
      break;
    case SB_BOTTOM:
      pos = info.nMax;
      break;
    default:
      return;
  }
  const int limit = std::max(info.nMax - static_cast<int>(info.nPage) + 1, 0);
  pos = std::clamp(pos, 0, limit);
  (bar == SB_HORZ ? scrollX_ : scrollY_) = pos;
  PlaceImage();
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
  TWinControl::Resize();
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
    case WM_HSCROLL:
      Scroll(SB_HORZ, LOWORD(message.WParam));
      return;
    case WM_VSCROLL:
      Scroll(SB_VERT, LOWORD(message.WParam));
      return;
    default:
      TWinControl::WndProc(message);
  }
}

}  // namespace report
