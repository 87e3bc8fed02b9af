// The band layouts: each row builds bands on a report and names the trace a
// pass over them must write.
#pragma once

#include <memory>
#include <vector>

#include "tests/report/layout/layout_test_support.h"

namespace report::testing {

inline const std::vector<LayoutRow>& BandRows() {
  static const std::vector<LayoutRow> rows = {
      {"RefusedByBeforePrintTakesNoRoomAndItsChildStillPrints",
       [](LayoutSubject& m, LayoutTest& t) {
         auto* d = AddBand(m, rbDetail, "D", 100);
         AddChild(m, d, "DC", 20);
         auto refusals = std::make_shared<int>(1);
         d->BeforePrint = [&m, refusals](TQRCustomBand*, bool& print) {
           m.GetTrace().Add("before:D");
           if ((*refusals)-- > 0) print = false;
         };
         d->AfterPrint = [&m](TQRCustomBand*, bool printed) {
           m.GetTrace().Add(printed ? "after:D=1" : "after:D=0");
         };
         t.Feed(2);
       },
       "before:D after:D=0 P1 DC@0 before:D D@20 after:D=1 DC@120"},
      {"ContinuedBandTakesTenMillimetresPlusGrowthAndFramesEachPart",
       [](LayoutSubject& m, LayoutTest& t) {
         AddBand(m, rbTitle, "T", 30);
         auto* d = AddBand(m, rbDetail, "D", 100);
         FrameTop(m, d->Frame(), 0x00AA00, "DF");
         AddText(m, d, "X", 15, 100);
         AddBand(m, rbSummary, "S", 40);
         t.Feed(1);
       },
       "P1 T@0 D@30 " + Lines("X", 0, 8, 30, 100) + " DF@30 P2 " + Lines("X", 9, 14, 0, 100) + " DF@0 S@600"},
      {"ForceNewPageBeforeTheFirstPageTakesTheRoomTest",
       [](LayoutSubject& m, LayoutTest& t) {
         AddBand(m, rbDetail, "D", 100)->ForceNewPage = true;
         t.Feed(2);
       },
       "P1 D@0 P2 D@0"},
      {"PageFootersChildPrintsAsAPageFooter",
       [](LayoutSubject& m, LayoutTest& t) {
         AddBand(m, rbDetail, "D", 100);
         auto* footer = AddBand(m, rbPageFooter, "PF", 50);
         auto* child = AddChild(m, footer, "PFC", 20);
         child->BeforePrint = [&m](TQRCustomBand* band, bool&) {
           m.GetTrace().Add("type:" + std::to_string(band->BandType()));
         };
         t.Feed(1);
       },
       "P1 D@0 PF@930 type:3 PFC@980"},
      {"AlignToBottomPlacesTheSummaryAboveThePageFooters",
       [](LayoutSubject& m, LayoutTest& t) {
         AddBand(m, rbDetail, "D", 100);
         AddBand(m, rbPageFooter, "PF", 50);
         AddBand(m, rbSummary, "S", 40)->AlignToBottom = true;
         t.Feed(1);
       },
       "P1 D@0 S@910 PF@950"},
      {"ZeroHeightBandRaisesItsEventsAndItsChildPrints",
       [](LayoutSubject& m, LayoutTest& t) {
         auto* d = AddBand(m, rbDetail, "D", 0);
         t.Watch(d);
         AddChild(m, d, "DC", 20);
         t.Feed(1);
       },
       "before:D after:D=1 P1 DC@0"},
      {"ColumnsFillLeftToRightThenANewPage",
       [](LayoutSubject& m, LayoutTest& t) {
         m.SetColumns(2);
         m.SetPageLength(250);
         AddBand(m, rbDetail, "D", 100);
         t.Feed(5);
       },
       "P1 D@0 D@100 C2 D@300,0 D@300,100 P2 D@0"},
      // A text line taller than a whole column prints cut on the fresh column:
      // without that the band would start pages for ever.
      {"LineTallerThanAColumnPrintsCutOnAFreshColumn",
       [](LayoutSubject& m, LayoutTest& t) {
         auto* d = AddBand(m, rbDetail, "D", 100);
         AddText(m, d, "X", 2, 1200);
         t.Feed(1);
       },
       "P1 D@0 X.0@0 P2 X.1@0"},
      {"CancelStopsAContinuedBand",
       [](LayoutSubject& m, LayoutTest& t) {
         auto* d = AddBand(m, rbDetail, "D", 100);
         AddText(m, d, "X", 40, 100)->OnLine = [&m](int line) {
           if (line == 12) m.RequestCancel();
         };
         t.Feed(1);
       },
       "P1 D@0 " + Lines("X", 0, 9, 0, 100) + " P2 " + Lines("X", 10, 19, 0, 100)},
      // A band taller than a column prints on the fresh column instead of
      // asking for another one.
      {"BandTallerThanAColumnPrintsCutOnAFreshColumn",
       [](LayoutSubject& m, LayoutTest& t) {
         AddBand(m, rbDetail, "D", 1200);
         t.Feed(2);
       },
       "P1 D@0 P2 D@0"},
      {"PageHeaderTallerThanThePagePrintsOnce",
       [](LayoutSubject& m, LayoutTest& t) {
         AddBand(m, rbPageHeader, "PH", 1200);
         AddBand(m, rbDetail, "D", 100);
         t.Feed(2);
       },
       "P1 PH@0 D@1200 P2 PH@0 D@1200"},
      // Room for a linked band is its height in tenths of a millimetre: 100 + 300 fits in 450.
      {"LinkedBandClaimsItsNativeHeightOnly",
       [](LayoutSubject& m, LayoutTest& t) {
         AddBand(m, rbTitle, "T", 550);
         auto* d = AddBand(m, rbDetail, "D", 100);
         d->SetLinkBand(AddBand(m, rbOverlay, "L", 300));
         t.Feed(1);
       },
       "P1 T@0 D@550"},
      {"LinkedBandThatDoesNotFitStartsANewPage",
       [](LayoutSubject& m, LayoutTest& t) {
         AddBand(m, rbTitle, "T", 650);
         auto* d = AddBand(m, rbDetail, "D", 100);
         d->SetLinkBand(AddBand(m, rbOverlay, "L", 300));
         t.Feed(1);
       },
       "P1 T@0 P2 D@0"},
      // Bands printed by a break do not break again: a column header forcing a
      // new page would otherwise start pages from inside the page start.
      {"ForcedBreakOfABandPrintedByABreakIsIgnored",
       [](LayoutSubject& m, LayoutTest& t) {
         m.SetPageLength(300);
         AddBand(m, rbColumnHeader, "CH", 50)->ForceNewPage = true;
         AddBand(m, rbDetail, "D", 100);
         t.Feed(4);
       },
       "P1 CH@0 D@50 D@150 P2 CH@0 D@50 D@150"},
  };
  return rows;
}

}  // namespace report::testing
