#include "framework/treeview.h"

namespace fw {

void TTreeNode::Expand(bool recurse) { tree_.SetExpanded(this, true, recurse); }

void TTreeNode::Collapse() { tree_.SetExpanded(this, false, false); }

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner) {
  width_ = 121;
  height_ = 97;
  SetTabStop(true);
  SetColor(clWindow);
}

TTreeView::~TTreeView() {
  // The window goes first, while the nodes its items point to still exist;
  // what it reports while its items go is no news to anyone.
  OnChange = nullptr;
  OnExpanded = OnCollapsed = nullptr;
  OnScroll = nullptr;
  DestroyWnd();
}

void TTreeView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = WC_TREEVIEWA;
  params.OwnClass = false;
  params.Style |= TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT;
  if (!hideSelection_) params.Style |= TVS_SHOWSELALWAYS;
  if (!readOnly_) params.Style |= TVS_EDITLABELS;
  if (border_) params.ExStyle |= WS_EX_CLIENTEDGE;
  params.ExStyle &= ~WS_EX_CONTROLPARENT;
}

void TTreeView::HandleCreated() {
  TWinControl::HandleCreated();
  ++updates_;
  SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
  for (auto& root : roots_) InsertItems(root.get(), TVI_ROOT);
  if (selected_) SendMessageA(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected_->item_));
  EndUpdate();
}

void TTreeView::HandleDestroying() {
  for (auto& root : roots_) ForgetItems(root.get());
  firstVisible_ = nullptr;
  TWinControl::HandleDestroying();
}

void TTreeView::InsertItems(TTreeNode* node, HTREEITEM parent) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<char*>(node->text_.c_str());
  insert.item.lParam = reinterpret_cast<LPARAM>(node);
  node->item_ = reinterpret_cast<HTREEITEM>(SendMessageA(handle_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  for (auto& child : node->children_) InsertItems(child.get(), node->item_);
  if (node->expanded_) {
    expanding_ = true;
    SendMessageA(handle_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node->item_));
    expanding_ = false;
  }
}

void TTreeView::ForgetItems(TTreeNode* node) {
  node->item_ = nullptr;
  for (auto& child : node->children_) ForgetItems(child.get());
}

TTreeNode* TTreeView::AddChild(TTreeNode* parent, const std::string& text, void* data) {
  auto& siblings = parent ? parent->children_ : roots_;
  siblings.push_back(std::unique_ptr<TTreeNode>(new TTreeNode(*this, parent, text, data)));
  TTreeNode* node = siblings.back().get();
  if (handle_ && (!parent || parent->item_)) InsertItems(node, parent ? parent->item_ : TVI_ROOT);
  return node;
}

void TTreeView::Clear() {
  if (handle_) {
    // The selection moves while items go: those notifications are not the user's.
    auto change = std::move(OnChange);
    SendMessageA(handle_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    OnChange = std::move(change);
  }
  selected_ = nullptr;
  roots_.clear();
}

void TTreeView::BeginUpdate() {
  if (updates_++ == 0 && handle_) SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
}

void TTreeView::EndUpdate() {
  if (updates_ == 0 || --updates_ > 0 || !handle_) return;
  SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(handle_, nullptr, TRUE);
  CheckView();
}

std::vector<TTreeNode*> TTreeView::Nodes() const {
  std::vector<TTreeNode*> nodes;
  std::function<void(const std::vector<std::unique_ptr<TTreeNode>>&)> walk = [&](const auto& level) {
    for (auto& node : level) {
      nodes.push_back(node.get());
      walk(node->children_);
    }
  };
  walk(roots_);
  return nodes;
}

void TTreeView::SetSelected(TTreeNode* node) {
  if (node == selected_) return;
  if (handle_ && node && node->item_)
    SendMessageA(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node->item_));
  // The window's notification may have set it already.
  if (selected_ != node) {
    selected_ = node;
    if (OnChange) OnChange(this, node);
  }
}

bool TTreeView::DisplayRect(const TTreeNode* node, RECT& rect) const {
  if (!handle_ || !node || !node->item_) return false;
  *reinterpret_cast<HTREEITEM*>(&rect) = node->item_;
  return SendMessageA(handle_, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect)) != FALSE;
}

void TTreeView::SetHideSelection(bool value) {
  if (hideSelection_ == value) return;
  hideSelection_ = value;
  RecreateWnd();
}

void TTreeView::SetReadOnly(bool value) {
  if (readOnly_ == value) return;
  readOnly_ = value;
  RecreateWnd();
}

void TTreeView::SetBorder(bool value) {
  if (border_ == value) return;
  border_ = value;
  RecreateWnd();
}

void TTreeView::SetHorzScrollBarAlways(bool value) {
  horzScrollBarAlways_ = value;
  if (handle_) ShowScrollBar(handle_, SB_HORZ, value);
}

void TTreeView::SetExpanded(TTreeNode* node, bool expanded, bool recurse) {
  if (recurse)
    for (auto& child : node->children_) SetExpanded(child.get(), expanded, true);
  if (node->expanded_ == expanded) return;
  node->expanded_ = expanded;
  if (handle_ && node->item_) {
    expanding_ = true;
    SendMessageA(handle_, TVM_EXPAND, expanded ? TVE_EXPAND : TVE_COLLAPSE,
                 reinterpret_cast<LPARAM>(node->item_));
    expanding_ = false;
  }
  Expansion(node);
}

void TTreeView::Expansion(TTreeNode* node) {
  CheckView();
  TTVExpandedEvent& handler = node->expanded_ ? OnExpanded : OnCollapsed;
  if (handler) handler(this, node);
}

TTreeNode* TTreeView::NodeOf(HTREEITEM item) const {
  if (!item || !handle_) return nullptr;
  TVITEMA data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  if (!SendMessageA(handle_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data))) return nullptr;
  return reinterpret_cast<TTreeNode*>(data.lParam);
}

bool TTreeView::Notify(NMHDR* header, LRESULT& result) {
  // The A and W forms of a tree notification differ only in their codes.
  auto* tree = reinterpret_cast<NMTREEVIEWA*>(header);
  switch (header->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
      TTreeNode* node = NodeOf(tree->itemNew.hItem);
      if (node == selected_) break;
      selected_ = node;
      if (OnChange) OnChange(this, node);
      break;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
      TTreeNode* node = NodeOf(tree->itemNew.hItem);
      if (!node || expanding_) break;
      const bool expanded = (tree->itemNew.state & TVIS_EXPANDED) != 0;
      if (node->expanded_ == expanded) break;
      node->expanded_ = expanded;
      Expansion(node);
      break;
    }
    default:
      return false;
  }
  result = 0;
  return true;
}

void TTreeView::WndProc(TMessage& message) {
  TWinControl::WndProc(message);
  if (message.Msg != WM_DESTROY && message.Msg != WM_NCDESTROY) CheckView();
}

// Whatever the message was, the rows may have moved (keys, the wheel, the
// scroll bar, a timer of the control) and the tree may have taken its
// horizontal scroll bar away.
void TTreeView::CheckView() {
  if (!handle_ || checking_ || updates_ > 0) return;
  checking_ = true;
  if (horzScrollBarAlways_ && !(GetWindowLongA(handle_, GWL_STYLE) & WS_HSCROLL))
    ShowScrollBar(handle_, SB_HORZ, TRUE);
  const auto first = reinterpret_cast<HTREEITEM>(SendMessageA(handle_, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
  const bool moved = first != firstVisible_;
  firstVisible_ = first;
  checking_ = false;
  if (moved && OnScroll) OnScroll(this);
}

}  // namespace fw
