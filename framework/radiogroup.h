// A framed group of radio buttons, one per item; the buttons are real BUTTON
// windows whose texts are the items.
#pragma once

#include <string>
#include <vector>

#include "framework/controls.h"

namespace fw {

// A frame with a caption around other controls.
class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner) : TWinControl(owner) {}

 protected:
  void Paint(TCanvas& canvas) override;
};

class TRadioGroup : public TGroupBox {
 public:
  explicit TRadioGroup(TComponent* owner);
  void SetItems(const std::vector<std::string>& items);
  const std::vector<std::string>& Items() const { return items_; }
  int ItemIndex() const { return itemIndex_; }
  // Selects an item (-1: none) without running OnClick.
  void SetItemIndex(int index);
  void WndProc(TMessage& message) override;

 protected:
  void HandleCreated() override;

 private:
  void CreateButtons();
  std::vector<std::string> items_;
  std::vector<HWND> buttons_;
  int itemIndex_ = -1;
};

}  // namespace fw
