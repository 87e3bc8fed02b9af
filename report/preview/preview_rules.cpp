#include "report/preview/preview_rules.h"

#include <algorithm>

#include "report/printing/measures.h"
#include "report/printing/qr_printer.h"

namespace report {
namespace {

// A Letter page in millimetres: the stand-in page without a producer.
constexpr long double kLetterWidth = 215.9L;
constexpr long double kLetterLength = 279.4L;

}  // namespace

bool PreviewZoomAccepted(std::int32_t zoom) { return zoom >= kPreviewMinZoom && zoom <= kPreviewMaxZoom; }

QRImagePlacement PreviewLayout(const TQRPrinter* producer, std::int32_t zoom, std::int32_t controlWidth,
                               std::int32_t controlHeight) {
  QRImagePlacement placement;
  if (producer) {
    placement.Width = producer->ToDeviceWidth(producer->PageWidth() * 0.01L * zoom) + 4;
    placement.Height = producer->ToDeviceHeight(producer->PageLength() * 0.01L * zoom) + 4;
  } else {
    placement.Width = QRRound(kLetterWidth * 0.01L * zoom) + 4;
    placement.Height = QRRound(kLetterLength * 0.01L * zoom) + 4;
  }
  if (placement.Width < controlWidth) placement.Left = (controlWidth - placement.Width) / 2;
  if (placement.Height < controlHeight) placement.Top = (controlHeight - placement.Height) / 2;
  return placement;
}

std::optional<std::int32_t> PreviewFitZoom(const TQRPrinter* producer, std::int32_t controlWidth,
                                           std::int32_t controlHeight) {
  long double w = kLetterWidth, h = kLetterLength;
  if (producer) {
    w = producer->ToDeviceWidth(producer->PageWidth());
    h = producer->ToDeviceHeight(producer->PageLength());
  }
  if (w <= 0 || h <= 0) return std::nullopt;
  const std::int32_t zx = QRRound(controlWidth / w * 95);
  const std::int32_t zy = QRRound(controlHeight / h * 95);
  return std::min(zx, zy);
}

std::optional<std::int32_t> PreviewWidthZoom(const TQRPrinter* producer, std::int32_t controlWidth) {
  if (!producer) return QRRound(controlWidth / kLetterWidth * 95);
  const long double w = producer->ToDeviceWidth(producer->PageWidth());
  if (w <= 0) return std::nullopt;
  return QRRound(controlWidth / w * 90);
}

std::int32_t PreviewPagesAvailable(const TQRPrinter* producer) {
  if (!producer) return 0;
  if (producer->Status() == TQRStatus::qsBusy)
    return std::min(producer->FinishedPages(), producer->PageCount());
  return producer->PageCount();
}

bool PreviewPageMoveTaken(std::int32_t n, std::int32_t current, bool hasPage, const TQRPrinter* producer) {
  if (n == current && hasPage) return false;
  if (n <= 0 || !producer) return false;
  return n <= PreviewPagesAvailable(producer);
}

QRPageKeyMove PreviewKeyMove(std::uint16_t key, bool exactlyCtrl) {
  switch (key) {
    case kKeyPageUp:
      return exactlyCtrl ? QRPageKeyMove::First : QRPageKeyMove::Previous;
    case kKeyPageDown:
      return exactlyCtrl ? QRPageKeyMove::Last : QRPageKeyMove::Next;
    case kKeyEnd:
      return QRPageKeyMove::Last;
    case kKeyHome:
      return QRPageKeyMove::First;
    default:
      return QRPageKeyMove::None;
  }
}

std::int32_t PreviewMoveTarget(QRPageKeyMove move, std::int32_t current, std::int32_t last) {
  switch (move) {
    case QRPageKeyMove::First:
      return 1;
    case QRPageKeyMove::Previous:
      return current - 1;
    case QRPageKeyMove::Next:
      return current + 1;
    case QRPageKeyMove::Last:
      return last;
    case QRPageKeyMove::None:
      break;
  }
  return current;
}

std::string PreviewPageStatus(std::int32_t page, std::int32_t count) {
  return std::string("Page") + " " + std::to_string(page) + " " + "of" + " " + std::to_string(count);
}

std::optional<std::string> QRProgressPanel::Update(std::int32_t progress) {
  std::optional<std::string> text;
  if (progress >= lastShown_ + 5) {
    text = std::to_string(progress) + "%";
    lastShown_ = progress;
  }
  if (progress == 0 || progress == 100) text = "";
  return text;
}

std::optional<std::string> ProgressFormInfo(std::int32_t progress) {
  if (progress % 5 != 0) return std::nullopt;
  return std::to_string(progress) + "% " + " Completed";
}

}  // namespace report
