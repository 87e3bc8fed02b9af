// A framed group of radio buttons, one per item; the buttons are real BUTTON
// windows whose texts are the items.
#pragma once

#include <string>
#include <vector>

#include "framework/controls.h"

namespace fw {

class TRadioGroup : public TWinControl {
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
  void Paint(TCanvas& canvas) override;

 private:
  void CreateButtons();
  std::vector<std::string> items_;
  std::vector<HWND> buttons_;
  int itemIndex_ = -1;
};

}  // namespace fw
