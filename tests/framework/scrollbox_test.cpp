// The scroll box on the test display: its bars, positions and children.
#include "framework/scrollbox.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/extctrls.h"
#include "framework/form.h"

namespace fw {
namespace {

class ScrollBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<TForm>(nullptr);
    form_->SetBounds(100, 100, 500, 400);
    box_ = new TScrollBox(form_.get());
    box_->SetParent(form_.get());
    box_->SetBounds(0, 0, 200, 150);
    box_->OnResize = [this](TComponent* sender) {
      EXPECT_EQ(sender, box_);
      ++resizes_;
    };
    child_ = new TPanel(form_.get());
    child_->SetParent(box_);
    child_->SetBounds(10, 20, 600, 400);
    form_->Show();
    box_->HorzScrollBar().SetRange(610);
    box_->VertScrollBar().SetRange(420);
  }

  int SystemPosition(int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    GetScrollInfo(box_->Handle(), bar, &info);
    return info.nPos;
  }
  void Send(UINT message, WORD request) { SendMessageA(box_->Handle(), message, request, 0); }

  std::unique_ptr<TForm> form_;
  TScrollBox* box_ = nullptr;
  TPanel* child_ = nullptr;
  int resizes_ = 0;
};

TEST_F(ScrollBoxTest, TheBarsMoveTheChildrenAndStayInTheirRange) {
  TControlScrollBar& horz = box_->HorzScrollBar();
  TControlScrollBar& vert = box_->VertScrollBar();
  EXPECT_TRUE(horz.IsScrollBarVisible());
  EXPECT_TRUE(vert.IsScrollBarVisible());
  const int limitX = 610 - box_->ClientWidth(), limitY = 420 - box_->ClientHeight();
  const struct {
    UINT message;
    WORD request;
    int x, y;
  } steps[] = {
      {WM_VSCROLL, SB_LINEDOWN, 0, 8},
      {WM_VSCROLL, SB_PAGEDOWN, 0, 8 + box_->ClientHeight()},
      {WM_VSCROLL, SB_BOTTOM, 0, limitY},
      {WM_VSCROLL, SB_PAGEDOWN, 0, limitY},  // no further than the end
      {WM_HSCROLL, SB_LINEDOWN, 8, limitY},
      {WM_HSCROLL, SB_LINEUP, 0, limitY},
      {WM_HSCROLL, SB_LINEUP, 0, limitY},  // nor before the start
      {WM_HSCROLL, SB_BOTTOM, limitX, limitY},
      {WM_VSCROLL, SB_TOP, limitX, 0},
  };
  for (const auto& s : steps) {
    Send(s.message, s.request);
    EXPECT_EQ(horz.Position(), s.x) << s.request;
    EXPECT_EQ(vert.Position(), s.y) << s.request;
    EXPECT_EQ(SystemPosition(SB_HORZ), s.x);
    EXPECT_EQ(SystemPosition(SB_VERT), s.y);
    EXPECT_EQ(child_->Left(), 10 - s.x);
    EXPECT_EQ(child_->Top(), 20 - s.y);
  }
  horz.SetPosition(-5);
  EXPECT_EQ(horz.Position(), 0);
  EXPECT_EQ(child_->Left(), 10);
  vert.SetPosition(30);
  EXPECT_EQ(child_->Top(), -10);
  // The thumb dropped moves the children; dragged, only a tracking bar does.
  Send(WM_VSCROLL, SB_THUMBTRACK);
  EXPECT_EQ(vert.Position(), 30);
}

TEST_F(ScrollBoxTest, AResizeKeepsThePositionsInRangeAndRaisesOnResize) {
  box_->VertScrollBar().SetPosition(1000);
  box_->HorzScrollBar().SetPosition(100);
  const int limitY = 420 - box_->ClientHeight();
  EXPECT_EQ(box_->VertScrollBar().Position(), limitY);
  EXPECT_EQ(child_->Top(), 20 - limitY);
  resizes_ = 0;
  // Tall enough for the whole height: the vertical bar goes and the children
  // come back to where they were placed; the horizontal position stays.
  box_->SetBounds(0, 0, 300, 480);
  EXPECT_GE(resizes_, 1);
  EXPECT_FALSE(box_->VertScrollBar().IsScrollBarVisible());
  EXPECT_TRUE(box_->HorzScrollBar().IsScrollBarVisible());
  EXPECT_EQ(box_->VertScrollBar().Position(), 0);
  EXPECT_EQ(child_->Top(), 20);
  EXPECT_EQ(box_->HorzScrollBar().Position(), 100);
  EXPECT_EQ(child_->Left(), -90);
  EXPECT_EQ(box_->ClientWidth(), 300 - 0 * GetSystemMetrics(SM_CXVSCROLL));
  // Wider than the range as well: both bars gone.
  box_->SetBounds(0, 0, 640, 480);
  EXPECT_FALSE(box_->HorzScrollBar().IsScrollBarVisible());
  EXPECT_EQ(box_->HorzScrollBar().Position(), 0);
  EXPECT_EQ(child_->Left(), 10);
}

}  // namespace
}  // namespace fw
