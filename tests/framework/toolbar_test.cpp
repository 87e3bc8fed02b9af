// The tool bar and the speed button on the test display, clicked with the
// mouse messages the system's bar answers to.
#include "framework/toolbar.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "framework/form.h"
#include "tests/framework/gui_support.h"

namespace fw {
namespace {

using fwtest::PumpFor;

// Three 16 x 16 glyphs of plain colours.
void AddGlyphs(TImageList& images) {
  TBitmap strip;
  strip.SetSize(48, 16);
  const TColor colours[] = {clRed, clGreen, clBlue};
  for (int i = 0; i < 3; ++i) {
    strip.Canvas().Brush.Color = colours[i];
    strip.Canvas().FillRect(RECT{16 * i, 0, 16 * i + 16, 16});
  }
  images.AddMasked(strip, clFuchsia);
}

// Presses and lets go of the left button over a point of a window.
void ClickAt(HWND window, int x, int y) {
  PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  PumpFor(50);
}

class ToolBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<TForm>(nullptr);
    form_->SetBounds(100, 100, 400, 200);
    images_ = new TImageList(form_.get());
    AddGlyphs(*images_);
    bar_ = new TToolBar(form_.get());
    bar_->SetParent(form_.get());
    bar_->SetImages(images_);
    bar_->SetFlat(true);
    bar_->SetAutoSize(true);
    bar_->SetBorderWidth(2);
    const struct {
      const char* name;
      TToolButtonStyle style;
      bool grouped;
    } rows[] = {{"fit", TToolButtonStyle::tbsCheck, true},  {"full", TToolButtonStyle::tbsCheck, true},
                {"width", TToolButtonStyle::tbsCheck, true}, {"", TToolButtonStyle::tbsDivider, false},
                {"next", TToolButtonStyle::tbsButton, false}, {"bold", TToolButtonStyle::tbsCheck, false}};
    for (const auto& row : rows) {
      auto* button = new TToolButton(bar_, row.style);
      button->SetGrouped(row.grouped);
      if (row.style == TToolButtonStyle::tbsDivider) continue;
      button->SetImageIndex(static_cast<int>(buttons_.size()) % 3);
      button->SetHint(std::string("Hint of ") + row.name);
      button->OnClick = [this, name = std::string(row.name)](TComponent* sender) {
        EXPECT_EQ(static_cast<TToolButton*>(sender)->Hint(), "Hint of " + name);
        clicks_.push_back(name);
      };
      buttons_.push_back(button);
    }
  }

  // fit, full, width, next, bold
  TToolButton& Button(int i) { return *buttons_.at(static_cast<size_t>(i)); }
  std::vector<bool> Downs() {
    std::vector<bool> downs;
    for (TToolButton* button : buttons_) downs.push_back(button->Down());
    return downs;
  }
  void ClickButton(TToolButton& button) {
    const int index = static_cast<int>(SendMessageA(bar_->Handle(), TB_COMMANDTOINDEX, button.CommandId(), 0));
    RECT rect{};
    ASSERT_TRUE(SendMessageA(bar_->Handle(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)));
    ClickAt(bar_->Handle(), (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  }

  std::unique_ptr<TForm> form_;
  TImageList* images_ = nullptr;
  TToolBar* bar_ = nullptr;
  std::vector<TToolButton*> buttons_;
  std::vector<std::string> clicks_;
};

TEST_F(ToolBarTest, GroupedCheckButtonsAreDownOneAtATime) {
  Button(2).SetDown(true);  // kept until the window exists
  form_->Show();
  HWND bar = bar_->Handle();
  EXPECT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 6);
  EXPECT_EQ(Downs(), (std::vector<bool>{false, false, true, false, false}));
  EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONCHECKED, Button(2).CommandId(), 0));
  // Clicked with the mouse: the system's bar moves the group's check.
  const struct {
    int button;
    std::vector<bool> downs;
  } clicks[] = {{0, {true, false, false, false, false}},
                {1, {false, true, false, false, false}},
                {1, {false, true, false, false, false}},  // a group's button stays down
                {4, {false, true, false, false, true}},   // a lone check button goes down
                {4, {false, true, false, false, false}},  // and up again
                {3, {false, true, false, false, false}}};
  for (const auto& c : clicks) {
    ClickButton(Button(c.button));
    EXPECT_EQ(Downs(), c.downs) << c.button;
  }
  EXPECT_EQ(clicks_, (std::vector<std::string>{"fit", "full", "full", "bold", "bold", "next"}));
  // In code as well.
  Button(0).SetDown(true);
  EXPECT_EQ(Downs(), (std::vector<bool>{true, false, false, false, false}));
  Button(2).Click();
  EXPECT_EQ(Downs(), (std::vector<bool>{false, false, true, false, false}));
  // A window made again shows the same.
  bar_->RecreateWnd();
  EXPECT_EQ(SendMessageA(bar_->Handle(), TB_BUTTONCOUNT, 0, 0), 6);
  EXPECT_EQ(Downs(), (std::vector<bool>{false, false, true, false, false}));
}

TEST_F(ToolBarTest, ADisabledButtonTakesNoClick) {
  Button(3).SetEnabled(false);
  form_->Show();
  EXPECT_FALSE(Button(3).Enabled());
  EXPECT_FALSE(SendMessageA(bar_->Handle(), TB_ISBUTTONENABLED, Button(3).CommandId(), 0));
  ClickButton(Button(3));
  Button(3).Click();
  EXPECT_TRUE(clicks_.empty());
  Button(3).SetEnabled(true);
  EXPECT_TRUE(SendMessageA(bar_->Handle(), TB_ISBUTTONENABLED, Button(3).CommandId(), 0));
  ClickButton(Button(3));
  EXPECT_EQ(clicks_, (std::vector<std::string>{"next"}));
  Button(0).SetEnabled(false);
  bar_->RecreateWnd();
  EXPECT_FALSE(Button(0).Enabled());
  EXPECT_TRUE(Button(3).Enabled());
}

TEST_F(ToolBarTest, AFixedIdAddressesTheButtonFromOutside) {
  Button(3).SetCommandId(500);
  EXPECT_THROW(Button(4).SetCommandId(500), std::logic_error);
  form_->Show();
  EXPECT_THROW(Button(4).SetCommandId(600), std::logic_error);
  // What another program sends: the bar's command with the fixed id.
  Button(3).SetEnabled(false);
  EXPECT_FALSE(SendMessageA(bar_->Handle(), TB_ISBUTTONENABLED, 500, 0));
  Button(3).SetEnabled(true);
  ClickButton(Button(3));
  EXPECT_EQ(clicks_, (std::vector<std::string>{"next"}));
}

TEST_F(ToolBarTest, HintsAreWhatTheBarsTooltipShowsForEachButton) {
  Button(4).SetHint("");
  form_->Show();
  for (TToolButton* button : buttons_) EXPECT_EQ(bar_->TooltipText(*button), button->Hint());
  EXPECT_EQ(bar_->TooltipText(Button(0)), "Hint of fit");
  EXPECT_EQ(bar_->TooltipText(Button(4)), "");
  Button(3).SetHint("Next page");
  EXPECT_EQ(bar_->TooltipText(Button(3)), "Next page");
  // The texts belong to the buttons, not to the window that shows them.
  bar_->RecreateWnd();
  EXPECT_EQ(bar_->TooltipText(Button(3)), "Next page");
  EXPECT_EQ(bar_->TooltipText(Button(1)), "Hint of full");
  bar_->SetShowHint(false);
  EXPECT_EQ(bar_->TooltipText(Button(3)), "");
}

TEST_F(ToolBarTest, AutoSizeFitsTheButtonsAndTheBorder) {
  form_->Show();
  const int buttonHeight = HIWORD(SendMessageA(bar_->Handle(), TB_GETBUTTONSIZE, 0, 0));
  EXPECT_GE(buttonHeight, 16);
  EXPECT_EQ(bar_->Height(), buttonHeight + 4);
  EXPECT_EQ(bar_->Width(), form_->ClientWidth()) << "aligned to the top";
}

TEST_F(ToolBarTest, ASpeedButtonSitsAfterTheButtonsAndClicksWithItsHint) {
  auto* speed = new TSpeedButton(form_.get());
  speed->SetCaption("&Close");
  speed->SetGlyph(images_, 0);
  speed->SetWidth(60);
  speed->SetHint("Close it");
  int speedClicks = 0;
  speed->OnClick = [&](TComponent*) { ++speedClicks; };
  bar_->AddControl(speed);
  form_->Show();
  HWND bar = bar_->Handle();
  EXPECT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 7);
  EXPECT_EQ(GetParent(speed->Handle()), bar);
  RECT room{}, last{};
  SendMessageA(bar, TB_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&room));
  SendMessageA(bar, TB_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&last));
  EXPECT_EQ(speed->Left(), room.left);
  EXPECT_GE(speed->Left(), last.right);
  EXPECT_EQ(speed->Width(), 60);
  ClickAt(speed->Handle(), 10, 5);
  EXPECT_EQ(speedClicks, 1);
  speed->SetEnabled(false);
  ClickAt(speed->Handle(), 10, 5);
  EXPECT_EQ(speedClicks, 1);
  // Its hint is a tooltip of the form, as every control's is (the other
  // tooltip is the bar's own).
  std::pair<HWND, HWND> search{reinterpret_cast<HWND>(SendMessageA(bar, TB_GETTOOLTIPS, 0, 0)), nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        auto* search = reinterpret_cast<std::pair<HWND, HWND>*>(found);
        if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 && window != search->first) search->second = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  HWND tooltip = search.second;
  ASSERT_NE(tooltip, nullptr);
  TTTOOLINFOA tool{};
  char text[64] = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = form_->Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(speed->Handle());
  tool.lpszText = text;
  SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "Close it");
  // A speed button freed leaves its room.
  delete speed;
  EXPECT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 6);
}

}  // namespace
}  // namespace fw
