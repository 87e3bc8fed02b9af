#include "framework/tabcontrol.h"

#include <commctrl.h>

namespace fw {

TTabControl::TTabControl(TComponent* owner) : TWinControl(owner) {
  width_ = 289;
  height_ = 193;
  SetTabStop(true);
}

void TTabControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = WC_TABCONTROLA;
  params.OwnClass = false;
  params.Style |= WS_CLIPSIBLINGS;
}

void TTabControl::HandleCreated() {
  TWinControl::HandleCreated();
  Rebuild();
}

int TTabControl::AddTab(const std::string& caption) {
  tabs_.push_back({caption, true});
  if (active_ < 0) active_ = static_cast<int>(tabs_.size()) - 1;
  Rebuild();
  return static_cast<int>(tabs_.size()) - 1;
}

void TTabControl::SetTabCaption(int tab, const std::string& caption) {
  if (tab < 0 || tab >= TabCount() || tabs_[tab].Caption == caption) return;
  tabs_[tab].Caption = caption;
  Rebuild();
}

void TTabControl::SetTabVisible(int tab, bool visible) {
  if (tab < 0 || tab >= TabCount() || tabs_[tab].Visible == visible) return;
  tabs_[tab].Visible = visible;
  if (!visible && active_ == tab) {
    active_ = -1;
    for (int i = 0; i < TabCount(); ++i)
      if (tabs_[i].Visible) {
        active_ = i;
        break;
      }
  } else if (visible && active_ < 0) {
    active_ = tab;
  }
  Rebuild();
}

void TTabControl::SetActiveTab(int tab) {
  if (tab >= 0 && (tab >= TabCount() || !tabs_[tab].Visible)) return;
  active_ = tab;
  if (HandleAllocated()) SendMessageA(Handle(), TCM_SETCURSEL, ShownIndexOf(active_), 0);
}

int TTabControl::ShownIndexOf(int tab) const {
  if (tab < 0) return -1;
  int shown = 0;
  for (int i = 0; i < tab; ++i) shown += tabs_[i].Visible;
  return shown;
}

void TTabControl::Rebuild() {
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), TCM_DELETEALLITEMS, 0, 0);
  int shown = 0;
  for (const Tab& tab : tabs_) {
    if (!tab.Visible) continue;
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(tab.Caption.c_str());
    SendMessageA(Handle(), TCM_INSERTITEMA, shown++, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(Handle(), TCM_SETCURSEL, ShownIndexOf(active_), 0);
}

bool TTabControl::Notify(NMHDR* header, LRESULT& result) {
  if (header->code != TCN_SELCHANGE) return false;
  const int shown = static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
  for (int i = 0, n = 0; i < TabCount(); ++i) {
    if (!tabs_[i].Visible) continue;
    if (n++ == shown) {
      active_ = i;
      break;
    }
  }
  if (OnChange) OnChange(this);
  result = 0;
  return true;
}

}  // namespace fw
