// A tree of text nodes on the system's tree view. Nodes live in the object
// (and are put into the window whenever it is made), each with a pointer of
// the caller's. Besides selection and expansion it tells when the rows it
// shows move, so that controls laid over its rows can follow them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/controls.h"

namespace fw {

class TTreeView;

class TTreeNode {
 public:
  const std::string& Text() const { return text_; }
  void* Data = nullptr;
  TTreeNode* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int index) const { return children_.at(static_cast<size_t>(index)).get(); }
  bool Expanded() const { return expanded_; }
  // Shows the children (all levels below with recurse) or hides them.
  void Expand(bool recurse = false);
  void Collapse();
  HTREEITEM ItemId() const { return item_; }

 private:
  friend class TTreeView;
  TTreeNode(TTreeView& tree, TTreeNode* parent, std::string text, void* data)
      : Data(data), tree_(tree), parent_(parent), text_(std::move(text)) {}
  TTreeView& tree_;
  TTreeNode* parent_;
  std::string text_;
  std::vector<std::unique_ptr<TTreeNode>> children_;
  bool expanded_ = false;
  HTREEITEM item_ = nullptr;
};

using TTVChangedEvent = std::function<void(TComponent* sender, TTreeNode* node)>;
using TTVExpandedEvent = std::function<void(TComponent* sender, TTreeNode* node)>;

class TTreeView : public TWinControl {
 public:
  explicit TTreeView(TComponent* owner);
  ~TTreeView() override;
  const char* TextPropertyName() const override { return ""; }

  // A node at the end of parent's children (of the top level when null).
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text, void* data = nullptr);
  void Clear();
  // Changes between the two are drawn once, at the end.
  void BeginUpdate();
  void EndUpdate();

  // Every node in the order the tree lists them, shown or not.
  std::vector<TTreeNode*> Nodes() const;
  TTreeNode* Selected() const { return selected_; }
  void SetSelected(TTreeNode* node);
  // The node's row in client coordinates; false while the node is inside a
  // collapsed one (or the window does not exist). A row scrolled out of
  // view lies above the client area or below it.
  bool DisplayRect(const TTreeNode* node, RECT& rect) const;

  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool Border() const { return border_; }
  void SetBorder(bool value);
  // The horizontal scroll bar stays even when nothing is wider than the tree
  // (the tree itself would take it away).
  bool HorzScrollBarAlways() const { return horzScrollBarAlways_; }
  void SetHorzScrollBarAlways(bool value);

  // The selection moved (by the user or by SetSelected).
  TTVChangedEvent OnChange;
  // After a node's children were shown or hidden, by the user or by a call.
  TTVExpandedEvent OnExpanded, OnCollapsed;
  // After the rows moved: a scroll bar, the wheel or a key scrolled the tree.
  TNotifyEvent OnScroll;

  void WndProc(TMessage& message) override;
  bool Notify(NMHDR* header, LRESULT& result) override;
  // Arrows, Home, End and the page keys move in the tree.
  bool WantsKey(WORD key) const override { return key >= VK_PRIOR && key <= VK_DOWN; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void HandleDestroying() override;

 private:
  friend class TTreeNode;
  void InsertItems(TTreeNode* node, HTREEITEM parent);
  void ForgetItems(TTreeNode* node);
  void SetExpanded(TTreeNode* node, bool expanded, bool recurse);
  void Expansion(TTreeNode* node);
  void CheckView();
  TTreeNode* NodeOf(HTREEITEM item) const;

  std::vector<std::unique_ptr<TTreeNode>> roots_;
  TTreeNode* selected_ = nullptr;
  bool hideSelection_ = true, readOnly_ = false, border_ = true, horzScrollBarAlways_ = false;
  int updates_ = 0;
  bool expanding_ = false, checking_ = false;
  HTREEITEM firstVisible_ = nullptr;
};

}  // namespace fw
