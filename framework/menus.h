// Menus and menu items with keyboard shortcuts. Every menu a form owns
// answers its shortcuts, whether it is shown as the form's menu bar or not.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/component.h"

namespace fw {

// A key with its shift state: virtual key code | scShift | scCtrl | scAlt.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
// From a virtual key and a TShiftFlag set (controls.h).
TShortCut ShortCut(WORD key, unsigned shift);
// "Ctrl+N", "F3", "Shift+Del": the text shown beside the caption.
std::string ShortCutToText(TShortCut shortCut);

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  static TMenuItem* FromCommand(UINT command);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut shortCut);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // Sub-items in menu order.
  void Add(TMenuItem* item);
  void Remove(TMenuItem* item);
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Item(int index) const { return items_.at(static_cast<size_t>(index)); }
  TMenuItem* Parent() const { return parent_; }

  UINT Command() const { return command_; }
  virtual void Click();
  TNotifyEvent OnClick;

  // Builds the Win32 menu of the sub-items into `menu`.
  void AppendTo(HMENU menu);
  // Runs the item whose shortcut this is (enabled items only).
  bool DispatchShortCut(TShortCut shortCut);

 private:
  void Changed();
  std::string caption_;
  TShortCut shortCut_ = scNone;
  bool enabled_ = true, checked_ = false, visible_ = true;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  UINT command_;
  class TMenu* menu_ = nullptr;
  friend class TMenu;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  // The root whose sub-items are the menu's top level.
  TMenuItem& Items() { return *items_; }
  bool DispatchShortCut(TShortCut shortCut) { return items_->DispatchShortCut(shortCut); }
  HMENU Handle();
  // Rebuilds the Win32 menu after a change.
  void Rebuild();

 protected:
  virtual HMENU CreateMenuHandle() = 0;
  virtual void MenuChanged() {}
  HMENU handle_ = nullptr;

 private:
  TMenuItem* items_;
};

// The menu bar of a form (TForm::SetMenu shows it).
class TMainMenu : public TMenu {
 public:
  using TMenu::TMenu;
  // Leaves the form it is shown on before its Win32 menu goes.
  ~TMainMenu() override;

 protected:
  HMENU CreateMenuHandle() override { return CreateMenu(); }
  void MenuChanged() override;
};

// A menu shown at a point.
class TPopupMenu : public TMenu {
 public:
  using TMenu::TMenu;
  void Popup(int screenX, int screenY, HWND owner);

 protected:
  HMENU CreateMenuHandle() override { return CreatePopupMenu(); }
};

}  // namespace fw
