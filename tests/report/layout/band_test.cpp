// Bands on the page model: events, forced breaks and the room test, stretching
// and continuation, child bands, bottom alignment, and the cases that would
// loop, recurse or misplace a band.
#include <gtest/gtest.h>

#include "tests/report/layout/layout_test_support.h"

namespace report::testing {
namespace {

const LayoutRow kBandRows[] = {
    {"RefusedByBeforePrintTakesNoRoomAndItsChildStillPrints",
     [](PageModel& m, LayoutTest& t) {
       auto* d = AddBand(m, rbDetail, "D", 100);
       AddChild(m, d, "DC", 20);
       auto refusals = std::make_shared<int>(1);
       d->BeforePrint = [&m, refusals](TQRCustomBand*, bool& print) {
         m.trace.Add("before:D");
         if ((*refusals)-- > 0) print = false;
       };
       d->AfterPrint = [&m](TQRCustomBand*, bool printed) {
         m.trace.Add(printed ? "after:D=1" : "after:D=0");
       };
       t.Feed(2);
     },
     "before:D after:D=0 P1 DC@0 before:D D@20 after:D=1 DC@120"},
    {"ContinuedBandTakesTenMillimetresPlusGrowthAndFramesEachPart",
     [](PageModel& m, LayoutTest& t) {
       AddBand(m, rbTitle, "T", 30);
       auto* d = AddBand(m, rbDetail, "D", 100);
       FrameTop(m, d->Frame(), 0x00AA00, "DF");
       AddText(m, d, "X", 15, 100);
       AddBand(m, rbSummary, "S", 40);
       t.Feed(1);
     },
     "P1 T@0 D@30 " + Lines("X", 0, 8, 30, 100) + " DF@30 P2 " + Lines("X", 9, 14, 0, 100) + " DF@0 S@600"},
    {"ForceNewPageBeforeTheFirstPageTakesTheRoomTest",
     [](PageModel& m, LayoutTest& t) {
       AddBand(m, rbDetail, "D", 100)->ForceNewPage = true;
       t.Feed(2);
     },
     "P1 D@0 P2 D@0"},
    {"PageFootersChildPrintsAsAPageFooter",
     [](PageModel& m, LayoutTest& t) {
       AddBand(m, rbDetail, "D", 100);
       auto* footer = AddBand(m, rbPageFooter, "PF", 50);
       auto* child = AddChild(m, footer, "PFC", 20);
       child->BeforePrint = [&m](TQRCustomBand* band, bool&) {
         m.trace.Add("type:" + std::to_string(band->BandType()));
       };
       t.Feed(1);
     },
     "P1 D@0 PF@930 type:3 PFC@980"},
    {"AlignToBottomPlacesTheSummaryAboveThePageFooters",
     [](PageModel& m, LayoutTest& t) {
       AddBand(m, rbDetail, "D", 100);
       AddBand(m, rbPageFooter, "PF", 50);
       AddBand(m, rbSummary, "S", 40)->AlignToBottom = true;
       t.Feed(1);
     },
     "P1 D@0 S@910 PF@950"},
    {"ZeroHeightBandRaisesItsEventsAndItsChildPrints",
     [](PageModel& m, LayoutTest& t) {
       auto* d = AddBand(m, rbDetail, "D", 0);
       t.Watch(d);
       AddChild(m, d, "DC", 20);
       t.Feed(1);
     },
     "before:D after:D=1 P1 DC@0"},
    {"ColumnsFillLeftToRightThenANewPage",
     [](PageModel& m, LayoutTest& t) {
       m.Columns = 2;
       m.PageLengthValue = 250;
       AddBand(m, rbDetail, "D", 100);
       t.Feed(5);
     },
     "P1 D@0 D@100 C2 D@300,0 D@300,100 P2 D@0"},
    // A text line taller than a whole column prints cut on the fresh column:
    // without that the band would start pages for ever.
    {"LineTallerThanAColumnPrintsCutOnAFreshColumn",
     [](PageModel& m, LayoutTest& t) {
       auto* d = AddBand(m, rbDetail, "D", 100);
       AddText(m, d, "X", 2, 1200);
       t.Feed(1);
     },
     "P1 D@0 X.0@0 P2 X.1@0"},
    {"CancelStopsAContinuedBand",
     [](PageModel& m, LayoutTest& t) {
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
     [](PageModel& m, LayoutTest& t) {
       AddBand(m, rbDetail, "D", 1200);
       t.Feed(2);
     },
     "P1 D@0 P2 D@0"},
    {"PageHeaderTallerThanThePagePrintsOnce",
     [](PageModel& m, LayoutTest& t) {
       AddBand(m, rbPageHeader, "PH", 1200);
       AddBand(m, rbDetail, "D", 100);
       t.Feed(2);
     },
     "P1 PH@0 D@1200 P2 PH@0 D@1200"},
    // Room for a linked band is its height in tenths of a millimetre: 100 + 300 fits in 450.
    {"LinkedBandClaimsItsNativeHeightOnly",
     [](PageModel& m, LayoutTest& t) {
       AddBand(m, rbTitle, "T", 550);
       auto* d = AddBand(m, rbDetail, "D", 100);
       d->SetLinkBand(AddBand(m, rbOverlay, "L", 300));
       t.Feed(1);
     },
     "P1 T@0 D@550"},
    {"LinkedBandThatDoesNotFitStartsANewPage",
     [](PageModel& m, LayoutTest& t) {
       AddBand(m, rbTitle, "T", 650);
       auto* d = AddBand(m, rbDetail, "D", 100);
       d->SetLinkBand(AddBand(m, rbOverlay, "L", 300));
       t.Feed(1);
     },
     "P1 T@0 P2 D@0"},
    // Bands printed by a break do not break again: a column header forcing a
    // new page would otherwise start pages from inside the page start.
    {"ForcedBreakOfABandPrintedByABreakIsIgnored",
     [](PageModel& m, LayoutTest& t) {
       m.PageLengthValue = 300;
       AddBand(m, rbColumnHeader, "CH", 50)->ForceNewPage = true;
       AddBand(m, rbDetail, "D", 100);
       t.Feed(4);
     },
     "P1 CH@0 D@50 D@150 P2 CH@0 D@50 D@150"},
};

class BandTable : public LayoutTest, public ::testing::WithParamInterface<LayoutRow> {};

TEST_P(BandTable, GivesItsTrace) {
  GetParam().build(*model_, *this);
  model_->Run();
  EXPECT_EQ(model_->trace.Text(), GetParam().trace);
}

INSTANTIATE_TEST_SUITE_P(Bands, BandTable, ::testing::ValuesIn(kBandRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LayoutTest, ContinuedBandGetsItsDesignedHeightBack) {
  auto* d = AddBand(*model_, rbDetail, "D", 100);
  AddText(*model_, d, "X", 15, 100);
  Feed(1);
  model_->Run();
  EXPECT_EQ(d->Size().NativeHeight(), 100);
  EXPECT_EQ(d->Growth, 400);  // the last part: 5 lines on page 2, the first in the band's own height
}

TEST_F(LayoutTest, PageFooterChildIsAChildAgainAfterThePass) {
  auto* footer = AddBand(*model_, rbPageFooter, "PF", 50);
  auto* child = AddChild(*model_, footer, "PFC", 20);
  AddBand(*model_, rbDetail, "D", 100);
  Feed(1);
  model_->Run();
  EXPECT_EQ(child->BandType(), rbChild);
  EXPECT_EQ(footer->ChildBand(), child);
}

TEST_F(LayoutTest, LinkBandLoopIsRefused) {
  auto* a = AddBand(*model_, rbDetail, "A", 10);
  auto* b = AddBand(*model_, rbOverlay, "B", 10);
  auto* c = AddBand(*model_, rbOverlay, "C", 10);
  a->SetLinkBand(b);
  b->SetLinkBand(c);
  c->SetLinkBand(a);
  EXPECT_EQ(c->LinkBand(), nullptr);
  a->SetLinkBand(a);
  EXPECT_EQ(a->LinkBand(), b);
  EXPECT_EQ(model_->NeededSpace(*a, true), 30);
  EXPECT_EQ(model_->NeededSpace(*a, false), 10);
}

TEST_F(LayoutTest, FreedLinkBandIsForgotten) {
  auto* a = AddBand(*model_, rbDetail, "A", 10);
  auto* b = AddBand(*model_, rbOverlay, "B", 10);
  a->SetLinkBand(b);
  delete b;
  EXPECT_EQ(a->LinkBand(), nullptr);
}

TEST_F(LayoutTest, ChildBandLoopIsRefused) {
  auto* a = AddBand(*model_, rbDetail, "A", 10);
  auto* child = dynamic_cast<TQRChildBand*>(AddChild(*model_, a, "AC", 10));
  auto* grandchild = dynamic_cast<TQRChildBand*>(AddChild(*model_, child, "ACC", 10));
  ASSERT_TRUE(child && grandchild);
  child->SetParentBand(grandchild);
  EXPECT_EQ(child->ParentBand(), a);
  // Removing the middle child hands its own child to the band above.
  a->SetHasChild(false);
  EXPECT_EQ(grandchild->ParentBand(), a);
  EXPECT_EQ(a->ChildBand(), grandchild);
}

TEST_F(LayoutTest, GrowSaysFalseBothWhenItGrewAndWhenThereIsNoRoom) {
  auto* d = AddBand(*model_, rbDetail, "D", 100);
  struct Probe {
    bool grew, noRoom, behind;
    long double totalGrew, totalBehind;
  } probe{};
  d->BeforePrint = [&](TQRCustomBand*, bool&) {};
  d->AfterPrint = [&](TQRCustomBand* band, bool) {
    long double total = 0;
    bool started = false;
    band->Growth = 0;
    probe.grew = band->Grow(total, started, 200);  // grows to 200
    probe.totalGrew = total;
    started = false;
    probe.behind = band->Grow(total, started, 50);  // another control grew it more already
    probe.totalBehind = total;
    probe.noRoom = band->Grow(total, started, 5000);
  };
  Feed(1);
  model_->Run();
  EXPECT_FALSE(probe.grew);
  EXPECT_EQ(probe.totalGrew, 200);
  EXPECT_TRUE(probe.behind);
  EXPECT_EQ(probe.totalBehind, 200);
  EXPECT_FALSE(probe.noRoom);
}

}  // namespace
}  // namespace report::testing
