#include "report/layout/layout_report.h"

namespace report {

TQRCustomBand* LayoutReport::BandOfType(TQRBandType type) const {
  for (TQRCustomBand* band : OrderedBands())
    if (band->BandType() == type) return band;
  return nullptr;
}

void LayoutReport::OutputBand(TQRCustomBand* band) {
  if (!band) return;
  if (band->AlignToBottom)
    SetCursorY(QRRound(PageLength() - BottomMargin() - band->NativeHeight() - FooterSpace()));
  band->PrintStep();
}

long double LayoutReport::NeededSpace(const TQRCustomBand& band, bool withLink) const {
  long double space = band.NativeHeight();
  // Link chains cannot loop (the link writer refuses that), so this ends.
  if (withLink && band.LinkBand()) space += NeededSpace(*band.LinkBand(), true);
  return space;
}

void LayoutReport::MakeRoom(TQRCustomBand& band) {
  if (band.BandType() == rbPageFooter) return;
  // A break's own headers print where the break put them, and a fresh column
  // has nothing more to give.
  if (InBreak() || ColumnFresh()) return;
  if (SpaceLeft() < QRRound(NeededSpace(band, true))) NextColumn();
}

}  // namespace report
