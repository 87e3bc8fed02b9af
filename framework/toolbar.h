// A tool bar of glyph buttons over the system's (check buttons that act as a
// group, dividers, hints, enabling) and the flat speed button that can sit in
// it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/imagelist.h"

namespace fw {

class TToolBar;

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDivider };

// A button of a tool bar, owned by the bar and kept in the order made. Check
// buttons marked Grouped that stand side by side are one group: at most one
// of them is down, and clicking one puts it down.
class TToolButton : public TComponent {
 public:
  TToolButton(TToolBar* toolBar, TToolButtonStyle style = TToolButtonStyle::tbsButton);
  std::string ClassName() const override { return "TToolButton"; }

  TToolBar* ToolBar() const { return toolBar_; }
  TToolButtonStyle Style() const { return style_; }
  // The id the button's clicks carry in the system's bar.
  int CommandId() const { return commandId_; }
  // A fixed id instead of the next free one, so that another program can
  // address the button (a test driving the window); set before the bar has
  // its window, and unique within the bar.
  void SetCommandId(int id);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  // Down: a check button that is pressed in.
  bool Down() const;
  void SetDown(bool value);
  bool Enabled() const;
  void SetEnabled(bool value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);

  TNotifyEvent OnClick;
  // What a click does: a check button goes down (or, alone, up and down).
  void Click();

 private:
  friend class TToolBar;
  TToolBar* toolBar_;
  TToolButtonStyle style_;
  int commandId_ = 0;
  bool grouped_ = false;
  int imageIndex_ = -1;
  bool down_ = false;
  bool enabled_ = true;
  std::string hint_;
};

class TToolBar : public TWinControl {
 public:
  explicit TToolBar(TComponent* owner);
  std::string ClassName() const override { return "TToolBar"; }
  const char* TextPropertyName() const override { return ""; }

  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  // With AutoSize the bar is as high as its buttons and border.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // Room between the bar's edges and its buttons.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);

  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TToolButton* Buttons(int index) const { return buttons_.at(static_cast<size_t>(index)); }
  TToolButton* FindButton(int commandId) const;
  // Appends a control (a speed button, say) after the buttons made so far:
  // the bar keeps room of the control's width for it and places it there.
  void AddControl(TControl* control);
  // The text the bar's tooltip shows for a button ("" when none).
  std::string TooltipText(const TToolButton& button);

  // Without hints the buttons' tooltips are blank.
  void SetShowHint(bool value) override;

  bool ItemCommand(WORD id, WORD code) override;
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void HandleDestroying() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TToolButton;
  struct Item {
    TToolButton* Button;  // null for a control's room
    TControl* Control;
  };
  void AddButton(TToolButton* button);
  void SendButtons();
  void SendTooltip(const TToolButton& button);
  void PlaceControls();
  void FitHeight();
  // The other grouped check buttons next to this one.
  std::vector<TToolButton*> GroupOf(const TToolButton& button) const;
  int ItemIndex(const TToolButton& button) const;

  std::vector<Item> items_;
  std::vector<TToolButton*> buttons_;
  TImageList* images_ = nullptr;
  bool flat_ = false, autoSize_ = false;
  int borderWidth_ = 0;
  int nextCommand_ = 1;
};

// A flat button with a glyph of an image list and a caption (an "&" marks its
// access key), that raises its edge under the mouse and sinks while pressed.
class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* owner);
  std::string ClassName() const override { return "TSpeedButton"; }
  void SetGlyph(TImageList* images, int index);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  void SetEnabled(bool enabled) override;
  // A disabled button takes no click.
  void Click() override;
  void WndProc(TMessage& message) override;

 protected:
  void Paint(TCanvas& canvas) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TImageList* images_ = nullptr;
  int imageIndex_ = -1;
  bool flat_ = true, hot_ = false, pressed_ = false;
};

}  // namespace fw
