// The rules of the preview and progress windows that need no window: zoom and
// image placement, which page a move or a key reaches, the page status and
// the two progress displays.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace report {

class TQRPrinter;

enum class TQRZoomState : std::uint8_t { zmFit = 0, zmWidth = 1, zmFixed = 2 };

constexpr std::int32_t kPreviewMinZoom = 2;
constexpr std::int32_t kPreviewMaxZoom = 2000;
bool PreviewZoomAccepted(std::int32_t zoom);

// Where the page image sits in the control, in pixels.
struct QRImagePlacement {
  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const QRImagePlacement&) const = default;
};

// The page at the zoom plus its border and shadow, centred where it is
// smaller than the control. Without a producer a Letter page at one pixel a
// millimetre stands in.
QRImagePlacement PreviewLayout(const TQRPrinter* producer, std::int32_t zoom, std::int32_t controlWidth,
                               std::int32_t controlHeight);

// The zoom that fits the whole page, or the page width, into the control;
// nothing when the page has no size on the screen (no paper size known), as
// a zoom computed from it would be meaningless.
std::optional<std::int32_t> PreviewFitZoom(const TQRPrinter* producer, std::int32_t controlWidth,
                                           std::int32_t controlHeight);
std::optional<std::int32_t> PreviewWidthZoom(const TQRPrinter* producer, std::int32_t controlWidth);

// The pages a viewer may move to: while the report still runs only those
// already stored, so no move reaches the page being drawn.
std::int32_t PreviewPagesAvailable(const TQRPrinter* producer);

// Whether the preview moves to page n.
bool PreviewPageMoveTaken(std::int32_t n, std::int32_t current, bool hasPage, const TQRPrinter* producer);

enum class QRPageKeyMove : std::uint8_t { None, First, Previous, Next, Last };
constexpr std::uint16_t kKeyPageUp = 0x21, kKeyPageDown = 0x22, kKeyEnd = 0x23, kKeyHome = 0x24;
// exactlyCtrl: Ctrl held, and neither Shift nor Alt.
QRPageKeyMove PreviewKeyMove(std::uint16_t key, bool exactlyCtrl);
// The page a move aims at (the move may still be refused).
std::int32_t PreviewMoveTarget(QRPageKeyMove move, std::int32_t current, std::int32_t last);

// "Page 2 of 5".
std::string PreviewPageStatus(std::int32_t page, std::int32_t count);

// The progress panel of the preview: shows a value only once it is 5 above
// the last one shown; 0 and 100 clear it.
class QRProgressPanel {
 public:
  // The panel's new text, or nothing when it stays as it is.
  std::optional<std::string> Update(std::int32_t progress);

 private:
  std::int32_t lastShown_ = 0;
};

// The progress form's line for a value, or nothing when the form ignores it
// (only multiples of 5 move it).
std::optional<std::string> ProgressFormInfo(std::int32_t progress);

}  // namespace report
