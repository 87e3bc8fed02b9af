#include "framework/listview.h"

namespace fw {

TListView::TListView(TComponent* owner) : TWinControl(owner) {
  width_ = 250;
  height_ = 150;
  SetTabStop(true);
  SetColor(clWindow);
}

void TListView::StringProperties(std::vector<TStringProperty>& properties) {
  TWinControl::StringProperties(properties);
  for (int i = 0; i < ColumnCount(); ++i)
    properties.push_back({"Columns[" + std::to_string(i) + "].Caption", [this, i] { return Column(i).Caption; },
                          [this, i](const std::string& value) { SetColumnCaption(i, value); }});
}

void TListView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = WC_LISTVIEWA;
  params.OwnClass = false;
  // Shared lists: the caller keeps its image lists, and one list may be both.
  params.Style |= LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_ALIGNTOP | LVS_NOLABELWRAP;
  if (!readOnly_) params.Style |= LVS_EDITLABELS;
  if (!columnClick_) params.Style |= LVS_NOSORTHEADER;
  if (border_) params.ExStyle |= WS_EX_CLIENTEDGE;
  params.ExStyle &= ~WS_EX_CONTROLPARENT;
}

void TListView::HandleCreated() {
  TWinControl::HandleCreated();
  if (smallImages_) SendMessageA(handle_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_));
  if (stateImages_) SendMessageA(handle_, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(stateImages_));
  for (int i = 0; i < ColumnCount(); ++i) SendColumn(i, true);
  for (int i = 0; i < Count(); ++i) SendItem(i);
}

void TListView::SendColumn(int index, bool insert) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = const_cast<char*>(columns_[index].Caption.c_str());
  column.cx = columns_[index].Width;
  column.iSubItem = index;
  SendMessageA(handle_, insert ? LVM_INSERTCOLUMNA : LVM_SETCOLUMNA, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&column));
}

void TListView::SendItem(int index) {
  TListItem& item = items_[index];
  LVITEMA row{};
  row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
  row.iItem = index;
  row.pszText = const_cast<char*>(item.Caption.c_str());
  row.iImage = item.ImageIndex;
  row.stateMask = LVIS_STATEIMAGEMASK;
  row.state = INDEXTOSTATEIMAGEMASK(item.StateIndex + 1);
  const int at = static_cast<int>(SendMessageA(handle_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
  // Inserting takes no state image with it: set it on the row made.
  SendMessageA(handle_, LVM_SETITEMSTATE, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&row));
  for (int sub = 1; sub <= static_cast<int>(item.SubItems.size()); ++sub) SendSubItem(at, sub);
}

void TListView::SendSubItem(int index, int sub) {
  const auto& texts = items_[index].SubItems;
  if (sub < 1 || sub > static_cast<int>(texts.size())) return;
  LVITEMA text{};
  text.iSubItem = sub;
  text.pszText = const_cast<char*>(texts[sub - 1].c_str());
  SendMessageA(handle_, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text));
}

int TListView::AddColumn(const std::string& caption, int width) {
  columns_.push_back({caption, width});
  if (!handle_) return ColumnCount() - 1;
  SendColumn(ColumnCount() - 1, true);
  // Rows keep sub-items for columns yet to come; the control drops them.
  for (int i = 0; i < Count(); ++i) SendSubItem(i, ColumnCount() - 1);
  return ColumnCount() - 1;
}

void TListView::SetColumnCaption(int index, const std::string& caption) {
  columns_.at(static_cast<size_t>(index)).Caption = caption;
  if (handle_) SendColumn(index, false);
}

int TListView::AddItem(const TListItem& item) {
  items_.push_back(item);
  if (handle_) SendItem(Count() - 1);
  return Count() - 1;
}

void TListView::Clear() {
  items_.clear();
  if (handle_) SendMessageA(handle_, LVM_DELETEALLITEMS, 0, 0);
}

void TListView::BeginUpdate() {
  if (updates_++ == 0 && handle_) SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
}

void TListView::EndUpdate() {
  if (updates_ == 0 || --updates_ > 0 || !handle_) return;
  SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(handle_, nullptr, TRUE);
}

void TListView::SetSmallImages(HIMAGELIST images) {
  smallImages_ = images;
  if (handle_) SendMessageA(handle_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

void TListView::SetStateImages(HIMAGELIST images) {
  stateImages_ = images;
  if (handle_) SendMessageA(handle_, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(images));
}

void TListView::SetReadOnly(bool value) {
  if (readOnly_ == value) return;
  readOnly_ = value;
  RecreateWnd();
}

void TListView::SetColumnClick(bool value) {
  if (columnClick_ == value) return;
  columnClick_ = value;
  RecreateWnd();
}

void TListView::SetBorder(bool value) {
  if (border_ == value) return;
  border_ = value;
  RecreateWnd();
}

}  // namespace fw
