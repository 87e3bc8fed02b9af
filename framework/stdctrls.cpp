#include "framework/stdctrls.h"

#include <fstream>
#include <sstream>

#include "framework/exceptions.h"
#include "framework/form.h"

namespace fw {

// --- TStringItems

const std::string& TStringItems::operator[](int index) const {
  if (index < 0 || index >= Count())
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  return items_[static_cast<size_t>(index)];
}

int TStringItems::Add(const std::string& text) {
  items_.push_back(text);
  changed_();
  return Count() - 1;
}

void TStringItems::Insert(int index, const std::string& text) {
  if (index < 0 || index > Count())
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  items_.insert(items_.begin() + index, text);
  changed_();
}

void TStringItems::Delete(int index) {
  (void)(*this)[index];
  items_.erase(items_.begin() + index);
  changed_();
}

void TStringItems::Clear() {
  items_.clear();
  changed_();
}

int TStringItems::IndexOf(const std::string& text) const {
  for (int i = 0; i < Count(); ++i)
    if (lstrcmpiA(items_[static_cast<size_t>(i)].c_str(), text.c_str()) == 0) return i;
  return -1;
}

void TStringItems::Assign(const std::vector<std::string>& items) {
  items_ = items;
  changed_();
}

// --- TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  width_ = 65;
  height_ = 13;
}

UINT TLabel::DrawFormat() const {
  UINT format = DT_NOCLIP | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
  if (alignment_ == TAlignment::taCenter) format |= DT_CENTER;
  if (alignment_ == TAlignment::taRightJustify) format |= DT_RIGHT;
  return format;
}

void TLabel::Paint(TCanvas& canvas) {
  RECT client{0, 0, width_, height_};
  canvas.Brush.Style = TBrushStyle::bsClear;
  if (!enabled_) canvas.Font.SetColor(clGrayText);
  canvas.TextRect(client, text_, DrawFormat());
}

void TLabel::AdjustSize() {
  if (!autoSize_ || Loading()) return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font().Handle());
  RECT rect{0, 0, wordWrap_ ? width_ : 0, 0};
  const std::string text = text_.empty() ? " " : text_;
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, DrawFormat() | DT_CALCRECT);
  // The last glyph may reach past its advance (a negative right bearing).
  ABC last{};
  const UINT lastChar = static_cast<unsigned char>(text.back());
  if (!wordWrap_ && GetCharABCWidthsA(dc, lastChar, lastChar, &last) && last.abcC < 0)
    rect.right -= last.abcC;
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int left = left_;
  const int width = wordWrap_ ? width_ : rect.right;
  if (!wordWrap_ && alignment_ == TAlignment::taRightJustify) left = left_ + width_ - width;
  if (!wordWrap_ && alignment_ == TAlignment::taCenter) left = left_ + (width_ - width) / 2;
  SetBounds(left, top_, width, rect.bottom);
}

void TLabel::SetText(const std::string& text) {
  text_ = text;
  // The window keeps the text too, as a static control would, for whatever
  // reads the texts of windows (screen readers, other programs).
  if (HandleAllocated()) SetWindowTextA(Handle(), text.c_str());
  AdjustSize();
  Invalidate();
}

void TLabel::SetFocusControl(TWinControl* control) {
  if (focusControl_ == control) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = control;
  if (control) control->FreeNotification(this);
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TLabel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustSize();
}

void TLabel::SetWordWrap(bool value) {
  wordWrap_ = value;
  AdjustSize();
  Invalidate();
}

void TLabel::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  RecreateWnd();
}

void TLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustSize();
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustSize();
}

// --- TEdit

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  width_ = 121;
  height_ = 21;
  SetTabStop(true);
  SetColor(clWindow);
}

void TEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "EDIT";
  params.OwnClass = false;
  params.Style |= EditStyle() | (readOnly_ ? ES_READONLY : 0);
  params.ExStyle |= WS_EX_CLIENTEDGE;
  params.ExStyle &= ~WS_EX_CONTROLPARENT;
}

void TEdit::HandleCreated() {
  TWinControl::HandleCreated();
  SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  if (handle_) SendMessageA(handle_, EM_SETREADONLY, value, 0);
}

void TEdit::SetMaxLength(int value) {
  maxLength_ = value < 0 ? 0 : value;
  if (handle_) SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

int TEdit::SelStart() const {
  DWORD start = 0, end = 0;
  if (handle_)
    SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

int TEdit::SelLength() const {
  DWORD start = 0, end = 0;
  if (handle_)
    SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TEdit::SetSelStart(int start) { SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start), start); }

void TEdit::SetSelLength(int length) {
  const int start = SelStart();
  SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start), start + length);
}

void TEdit::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

void TEdit::CopyToClipboard() { SendMessageA(Handle(), WM_COPY, 0, 0); }

bool TEdit::Command(WORD code) {
  if (code == EN_CHANGE) {
    if (OnChange) OnChange(this);
    return true;
  }
  return false;
}

// --- TMemo and its lines

TMemo::TMemo(TComponent* owner) : TEdit(owner) {
  width_ = 185;
  height_ = 89;
}

DWORD TMemo::EditStyle() const {
  DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | (wordWrap_ ? 0 : ES_AUTOHSCROLL);
  if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth) style |= WS_VSCROLL;
  if (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) style |= WS_HSCROLL;
  return style;
}

void TMemo::HandleCreated() {
  TEdit::HandleCreated();
  // No 32K or 64K ceiling: a log can be long.
  if (MaxLength() == 0) SendMessageA(handle_, EM_LIMITTEXT, 0x7FFFFFFE, 0);
}

void TMemo::SetScrollBars(TScrollStyle value) {
  scrollBars_ = value;
  RecreateWnd();
}

void TMemo::SetWordWrap(bool value) {
  wordWrap_ = value;
  RecreateWnd();
}

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace

void TMemo::SetText(const std::string& text) {
  lines_.Invalidate();
  TEdit::SetText(text);
}

bool TMemo::Command(WORD code) {
  if (code == EN_CHANGE) lines_.Invalidate();
  return TEdit::Command(code);
}

void TMemo::WndProc(TMessage& message) {
  // A multi-line edit reports no EN_CHANGE for WM_SETTEXT.
  if (message.Msg == WM_SETTEXT) lines_.Invalidate();
  TEdit::WndProc(message);
}

const std::vector<std::string>& TMemoLines::Lines() const {
  if (!valid_) {
    lines_ = SplitLines(memo_.Text());
    valid_ = true;
  }
  return lines_;
}

int TMemoLines::Count() const { return static_cast<int>(Lines().size()); }

std::string TMemoLines::operator[](int index) const {
  const auto& lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size()))
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  return lines[static_cast<size_t>(index)];
}

int TMemoLines::Add(const std::string& line) {
  const int index = Count();
  Insert(index, line);
  return index;
}

void TMemoLines::Insert(int index, const std::string& line) {
  auto lines = Lines();
  if (index < 0 || index > static_cast<int>(lines.size()))
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  lines.insert(lines.begin() + index, line);
  SetText(JoinLines(lines));
}

void TMemoLines::Delete(int index) {
  auto lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size()))
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  lines.erase(lines.begin() + index);
  SetText(JoinLines(lines));
}

void TMemoLines::Clear() { SetText(""); }

std::string TMemoLines::Text() const { return JoinLines(Lines()); }

void TMemoLines::SetText(const std::string& text) { memo_.SetText(text); }

void TMemoLines::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EInOutError(static_cast<int>(GetLastError() ? GetLastError() : ERROR_FILE_NOT_FOUND));
  std::ostringstream content;
  content << in.rdbuf();
  SetText(JoinLines(SplitLines(content.str())));
}

void TMemoLines::SaveToFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EInOutError(static_cast<int>(GetLastError() ? GetLastError() : ERROR_ACCESS_DENIED));
  const std::string text = Text();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) throw EInOutError(ERROR_WRITE_FAULT);
}

// --- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  width_ = 75;
  height_ = 25;
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "BUTTON";
  params.OwnClass = false;
  params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  params.ExStyle &= ~WS_EX_CONTROLPARENT;
}

void TButton::SetDefault(bool value) {
  default_ = value;
  if (handle_) SendMessageA(handle_, BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (modalResult_ != 0)
    if (TForm* form = ParentForm()) form->SetModalResult(modalResult_);
  TWinControl::Click();
}

bool TButton::Command(WORD code) {
  if (code != BN_CLICKED) return false;
  Click();
  return true;
}

// --- TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  width_ = 97;
  height_ = 17;
  SetTabStop(true);
  SetParentColor(true);
}

void TCheckBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "BUTTON";
  params.OwnClass = false;
  params.Style |= BS_AUTOCHECKBOX;
  params.ExStyle &= ~WS_EX_CONTROLPARENT;
}

bool TCheckBox::Checked() const {
  if (!handle_) return checked_;
  return SendMessageA(handle_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool value) {
  checked_ = value;
  if (handle_) SendMessageA(handle_, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::HandleCreated() {
  TWinControl::HandleCreated();
  SendMessageA(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::HandleDestroying() {
  checked_ = Checked();
  TWinControl::HandleDestroying();
}

bool TCheckBox::Command(WORD code) {
  if (code != BN_CLICKED) return false;
  checked_ = Checked();
  Click();
  return true;
}

// --- TComboBox

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner), items_([this] { Refill(); }) {
  width_ = 145;
  height_ = 21;
  SetTabStop(true);
  SetColor(clWindow);
}

void TComboBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "COMBOBOX";
  params.OwnClass = false;
  params.Style |= CBS_DROPDOWNLIST | WS_VSCROLL;
  params.ExStyle &= ~WS_EX_CONTROLPARENT;
  // The height of a combo box's window includes its dropped-down list.
  params.Height = height_ + 200;
}

void TComboBox::Refill() {
  if (!handle_) return;
  SendMessageA(handle_, CB_RESETCONTENT, 0, 0);
  for (const auto& item : items_.Strings())
    SendMessageA(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  if (itemIndex_ >= items_.Count()) itemIndex_ = -1;
  SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
}

void TComboBox::HandleCreated() {
  TWinControl::HandleCreated();
  Refill();
}

void TComboBox::HandleDestroying() {
  itemIndex_ = ItemIndex();
  TWinControl::HandleDestroying();
}

int TComboBox::ItemIndex() const {
  if (!handle_) return itemIndex_;
  return static_cast<int>(SendMessageA(handle_, CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count()) index = -1;
  itemIndex_ = index;
  if (handle_) SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string TComboBox::Text() const {
  const int index = ItemIndex();
  return index >= 0 && index < items_.Count() ? items_[index] : std::string();
}

bool TComboBox::WantsKey(WORD key) const {
  // While the list is open, Enter and Esc close it.
  return (key == VK_RETURN || key == VK_ESCAPE) && handle_ && SendMessageA(handle_, CB_GETDROPPEDSTATE, 0, 0);
}

bool TComboBox::Command(WORD code) {
  if (code != CBN_SELCHANGE) return false;
  itemIndex_ = ItemIndex();
  if (OnChange) OnChange(this);
  Click();
  return true;
}

// --- TListBox

TListBox::TListBox(TComponent* owner) : TWinControl(owner), items_([this] { Refill(); }) {
  width_ = 121;
  height_ = 97;
  SetTabStop(true);
  SetColor(clWindow);
}

void TListBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "LISTBOX";
  params.OwnClass = false;
  params.Style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
  params.ExStyle |= WS_EX_CLIENTEDGE;
  params.ExStyle &= ~WS_EX_CONTROLPARENT;
}

void TListBox::Refill() {
  if (!handle_) return;
  // A list may hold thousands of lines: the box is painted once, when they
  // are all in, and its storage is taken for all of them at once. A hidden
  // box is left alone: turning painting back on may show a window.
  const bool visible = (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
  if (visible) SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(handle_, LB_RESETCONTENT, 0, 0);
  size_t bytes = 0;
  for (const auto& item : items_.Strings()) bytes += item.size() + 1;
  SendMessageA(handle_, LB_INITSTORAGE, static_cast<WPARAM>(items_.Count()), static_cast<LPARAM>(bytes));
  for (const auto& item : items_.Strings())
    SendMessageA(handle_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  if (itemIndex_ >= items_.Count()) itemIndex_ = -1;
  SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  if (visible) {
    SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(handle_, nullptr, TRUE);
  }
}

void TListBox::HandleCreated() {
  TWinControl::HandleCreated();
  Refill();
}

void TListBox::HandleDestroying() {
  itemIndex_ = ItemIndex();
  TWinControl::HandleDestroying();
}

int TListBox::ItemIndex() const {
  if (!handle_) return itemIndex_;
  return static_cast<int>(SendMessageA(handle_, LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count()) index = -1;
  itemIndex_ = index;
  if (handle_) SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool TListBox::Command(WORD code) {
  if (code == LBN_SELCHANGE) {
    itemIndex_ = ItemIndex();
    Click();
    return true;
  }
  if (code == LBN_DBLCLK) {
    DblClick();
    return true;
  }
  return false;
}

}  // namespace fw
