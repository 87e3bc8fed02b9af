// Tabs on the system's tab control. A tab can be hidden: the control cannot
// hide one tab, so hidden tabs are taken out and put back in their place,
// keeping each tab's identity and the active tab.
#pragma once

#include <string>
#include <vector>

#include "framework/controls.h"

namespace fw {

class TTabControl : public TWinControl {
 public:
  explicit TTabControl(TComponent* owner);
  // Adds a tab and returns its index (its identity).
  int AddTab(const std::string& caption);
  int TabCount() const { return static_cast<int>(tabs_.size()); }
  const std::string& TabCaption(int tab) const { return tabs_[tab].Caption; }
  void SetTabCaption(int tab, const std::string& caption);
  bool TabVisible(int tab) const { return tabs_[tab].Visible; }
  void SetTabVisible(int tab, bool visible);
  // The active tab (-1: none); setting it runs no OnChange.
  int ActiveTab() const { return active_; }
  void SetActiveTab(int tab);
  // The user chose another tab.
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  bool Notify(NMHDR* header, LRESULT& result) override;

 private:
  struct Tab {
    std::string Caption;
    bool Visible = true;
  };
  void Rebuild();
  int ShownIndexOf(int tab) const;
  std::vector<Tab> tabs_;
  int active_ = -1;
};

}  // namespace fw
