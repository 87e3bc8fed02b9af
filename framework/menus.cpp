#include "framework/menus.h"

#include <algorithm>
#include <map>

#include "framework/controls.h"
#include "framework/form.h"

namespace fw {

namespace {

std::map<UINT, TMenuItem*>& CommandTable() {
  static std::map<UINT, TMenuItem*> table;
  return table;
}

UINT NextCommand() {
  // Menu commands live above the ids of dialog buttons (IDOK ...).
  static UINT next = 100;
  if (++next > 0xFFFF) next = 101;
  while (CommandTable().count(next)) ++next;
  return next;
}

std::string KeyName(WORD key) {
  if (key >= 'A' && key <= 'Z') return std::string(1, static_cast<char>(key));
  if (key >= '0' && key <= '9') return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  switch (key) {
    case VK_DELETE:
      return "Del";
    case VK_INSERT:
      return "Ins";
    case VK_RETURN:
      return "Enter";
    case VK_ESCAPE:
      return "Esc";
    case VK_BACK:
      return "BkSp";
    case VK_TAB:
      return "Tab";
    case VK_SPACE:
      return "Space";
    case VK_HOME:
      return "Home";
    case VK_END:
      return "End";
    case VK_PRIOR:
      return "PgUp";
    case VK_NEXT:
      return "PgDn";
    case VK_UP:
      return "Up";
    case VK_DOWN:
      return "Down";
    case VK_LEFT:
      return "Left";
    case VK_RIGHT:
      return "Right";
    default:
      return "#" + std::to_string(key);
  }
}

}  // namespace

TShortCut ShortCut(WORD key, unsigned shift) {
  TShortCut result = key & 0xFF;
  if (shift & ssShift) result |= scShift;
  if (shift & ssCtrl) result |= scCtrl;
  if (shift & ssAlt) result |= scAlt;
  return result;
}

std::string ShortCutToText(TShortCut shortCut) {
  if (shortCut == scNone) return "";
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + KeyName(shortCut & 0xFF);
}

// --- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NextCommand()) {
  CommandTable()[command_] = this;
}

TMenuItem::~TMenuItem() {
  CommandTable().erase(command_);
  for (TMenuItem* item : items_) item->parent_ = nullptr;
  if (parent_) parent_->Remove(this);
}

TMenuItem* TMenuItem::FromCommand(UINT command) {
  auto it = CommandTable().find(command);
  return it == CommandTable().end() ? nullptr : it->second;
}

void TMenuItem::Changed() {
  TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  if (root->menu_) root->menu_->Rebuild();
}

void TMenuItem::SetCaption(const std::string& caption) {
  caption_ = caption;
  Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
  shortCut_ = shortCut;
  Changed();
}

void TMenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Changed();
}

void TMenuItem::SetChecked(bool checked) {
  checked_ = checked;
  Changed();
}

void TMenuItem::SetVisible(bool visible) {
  visible_ = visible;
  Changed();
}

void TMenuItem::Add(TMenuItem* item) {
  if (item->parent_) item->parent_->Remove(item);
  items_.push_back(item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  item->parent_ = nullptr;
  Changed();
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

void TMenuItem::AppendTo(HMENU menu) {
  for (TMenuItem* item : items_) {
    if (!item->visible_) continue;
    if (item->caption_ == "-") {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::string text = item->caption_;
    if (item->shortCut_ != scNone) text += "\t" + ShortCutToText(item->shortCut_);
    UINT flags = MF_STRING | (item->enabled_ ? MF_ENABLED : MF_GRAYED) | (item->checked_ ? MF_CHECKED : 0);
    if (!item->items_.empty()) {
      HMENU sub = CreatePopupMenu();
      item->AppendTo(sub);
      AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
    } else {
      AppendMenuA(menu, flags, item->command_, text.c_str());
    }
  }
}

bool TMenuItem::DispatchShortCut(TShortCut shortCut) {
  if (shortCut == scNone) return false;
  for (TMenuItem* item : std::vector<TMenuItem*>(items_)) {
    if (!item->enabled_) continue;
    if (item->shortCut_ == shortCut) {
      item->Click();
      return true;
    }
    if (item->DispatchShortCut(shortCut)) return true;
  }
  return false;
}

// --- TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() {
  items_->menu_ = nullptr;
  delete items_;
  if (handle_) DestroyMenu(handle_);
}

HMENU TMenu::Handle() {
  if (!handle_) {
    handle_ = CreateMenuHandle();
    items_->AppendTo(handle_);
  }
  return handle_;
}

void TMenu::Rebuild() {
  if (!handle_) return;
  while (GetMenuItemCount(handle_) > 0) DeleteMenu(handle_, 0, MF_BYPOSITION);
  items_->AppendTo(handle_);
  MenuChanged();
}

TMainMenu::~TMainMenu() {
  if (auto* form = dynamic_cast<TForm*>(Owner()); form && form->Menu() == this) form->SetMenu(nullptr);
}

void TMainMenu::MenuChanged() {
  if (auto* form = dynamic_cast<TForm*>(Owner()); form && form->HandleAllocated() && form->Menu() == this)
    DrawMenuBar(form->Handle());
}

void TPopupMenu::Popup(int screenX, int screenY, HWND owner) {
  TrackPopupMenu(Handle(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, screenX, screenY, 0, owner, nullptr);
}

}  // namespace fw
