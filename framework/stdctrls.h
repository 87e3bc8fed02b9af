// The standard controls: label, edit, memo, button, check box, combo box and
// list box. All but the label are the system's own window classes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/controls.h"

namespace fw {

// A list of strings that tells its control about every change.
class TStringItems {
 public:
  explicit TStringItems(std::function<void()> changed) : changed_(std::move(changed)) {}
  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& operator[](int index) const;
  int Add(const std::string& text);
  void Insert(int index, const std::string& text);
  void Delete(int index);
  void Clear();
  int IndexOf(const std::string& text) const;
  void Assign(const std::vector<std::string>& items);
  const std::vector<std::string>& Strings() const { return items_; }

 private:
  std::vector<std::string> items_;
  std::function<void()> changed_;
};

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  void SetText(const std::string& text) override;
  std::string Text() const override { return text_; }
  // The control that Alt with the caption's mnemonic focuses.
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control);

 protected:
  void Paint(TCanvas& canvas) override;
  void Notification(TComponent* component, TOperation operation) override;
  bool FillsBackground() const override { return !transparent_; }
  void FontChanged() override;
  void Loaded() override;

 private:
  void AdjustSize();
  UINT DrawFormat() const;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool autoSize_ = true, wordWrap_ = false, transparent_ = false;
  TWinControl* focusControl_ = nullptr;
};

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner);
  const char* TextPropertyName() const override { return "Text"; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  int SelStart() const;
  int SelLength() const;
  void SetSelStart(int start);
  void SetSelLength(int length);
  void SelectAll();
  void CopyToClipboard();
  TNotifyEvent OnChange;

  bool Command(WORD code) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  virtual DWORD EditStyle() const { return ES_AUTOHSCROLL; }

 private:
  bool readOnly_ = false;
  int maxLength_ = 0;
};

class TMemo;

// The lines of a memo, read from and written to its window.
class TMemoLines {
 public:
  explicit TMemoLines(TMemo& memo) : memo_(memo) {}
  int Count() const;
  std::string operator[](int index) const;
  int Add(const std::string& line);
  void Insert(int index, const std::string& line);
  void Delete(int index);
  void Clear();
  std::string Text() const;
  void SetText(const std::string& text);
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;
  // The memo's text changed: the lines are split again when next read.
  void Invalidate() { valid_ = false; }

 private:
  const std::vector<std::string>& Lines() const;
  TMemo& memo_;
  // Reading line after line must not split the whole text each time.
  mutable std::vector<std::string> lines_;
  mutable bool valid_ = false;
};

// A multi-line edit. The system's text limit is lifted; lines are kept in the
// window, and in the object while the window does not exist.
class TMemo : public TEdit {
 public:
  explicit TMemo(TComponent* owner);
  const char* TextPropertyName() const override { return ""; }
  TMemoLines& Lines() { return lines_; }
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
  void SetScrollBars(TScrollStyle value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool WantsKey(WORD key) const override { return key == VK_RETURN ? wantReturns_ : false; }
  void SetText(const std::string& text) override;
  bool Command(WORD code) override;
  void WndProc(TMessage& message) override;

 protected:
  DWORD EditStyle() const override;
  void HandleCreated() override;

 private:
  TMemoLines lines_{*this};
  bool wantReturns_ = true;
  bool wordWrap_ = true;
  TScrollStyle scrollBars_ = TScrollStyle::ssNone;
};

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }
  // Sets the form's ModalResult (when set), then runs OnClick.
  void Click() override;
  bool Command(WORD code) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  HBRUSH CtlColor(HDC) override { return nullptr; }

 private:
  bool default_ = false, cancel_ = false;
  int modalResult_ = 0;
};

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const;
  void SetChecked(bool value);
  bool Command(WORD code) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void HandleDestroying() override;

 private:
  bool checked_ = false;
};

// A drop-down list: the user picks one of the items.
class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* owner);
  const char* TextPropertyName() const override { return "Text"; }
  TStringItems& Items() { return items_; }
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::string Text() const override;
  TNotifyEvent OnChange;
  bool Command(WORD code) override;
  bool WantsKey(WORD key) const override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void HandleDestroying() override;

 private:
  void Refill();
  TStringItems items_;
  int itemIndex_ = -1;
};

class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* owner);
  const char* TextPropertyName() const override { return ""; }
  TStringItems& Items() { return items_; }
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool Command(WORD code) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void HandleDestroying() override;

 private:
  void Refill();
  TStringItems items_;
  int itemIndex_ = -1;
};

}  // namespace fw
