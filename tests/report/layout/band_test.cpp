// Bands on the page model: events, forced breaks and the room test, stretching
// and continuation, child bands, bottom alignment, and the cases that would
// loop, recurse or misplace a band.
#include <gtest/gtest.h>

#include "tests/report/layout/band_rows.h"

namespace report::testing {
namespace {

class BandTable : public LayoutTest, public ::testing::WithParamInterface<LayoutRow> {};

TEST_P(BandTable, GivesItsTrace) {
  GetParam().build(subject(), *this);
  subject().Run();
  EXPECT_EQ(subject().GetTrace().Text(), GetParam().trace);
}

INSTANTIATE_TEST_SUITE_P(Bands, BandTable, ::testing::ValuesIn(BandRows()),
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
