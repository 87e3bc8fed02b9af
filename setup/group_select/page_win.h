// The component selection page: after the custom setup type the user
// chooses the file groups to install in a tree, with a check box and the
// selected size beside each group's row, the group's description and
// destination, and the space the selection needs on each drive.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/listview.h"
#include "framework/treeview.h"
#include "setup/group_select/model.h"
#include "setup/translator/form_translation_win.h"
#include "setup/wizard/wizard_win.h"

namespace setup {

class TFileGroupSelectForm;

class TGroupTreeView : public fw::TTreeView {
 public:
  TGroupTreeView(fw::TComponent* owner, TFileGroupSelectForm* page) : fw::TTreeView(owner), Page(page) {}
  std::string ClassName() const override { return "TGroupTreeView"; }
  TFileGroupSelectForm* const Page;
};

class TDriveSpaceListView : public fw::TListView {
 public:
  TDriveSpaceListView(fw::TComponent* owner, TFileGroupSelectForm* page) : fw::TListView(owner), Page(page) {}
  std::string ClassName() const override { return "TDriveSpaceListView"; }
  TFileGroupSelectForm* const Page;
};

class TIncludeCheckBox : public fw::TCheckBox {
 public:
  explicit TIncludeCheckBox(fw::TComponent* owner) : fw::TCheckBox(owner) {}
  std::string ClassName() const override { return "TIncludeCheckBox"; }
  TFileContainer* Group = nullptr;
  bool Updating = false;
};

class TSizeLabel : public fw::TLabel {
 public:
  explicit TSizeLabel(fw::TComponent* owner) : fw::TLabel(owner) {}
  std::string ClassName() const override { return "TSizeLabel"; }
  TFileContainer* Group = nullptr;
};

// A column of controls laid over the tree's rows, one per row shown.
class TFGSFList {
 public:
  TFGSFList(TFileGroupSelectForm& page, fw::TPanel& panel, fw::TPanel& divider)
      : page_(page), panel_(panel), divider_(divider) {}
  virtual ~TFGSFList() = default;
  virtual void Layout() = 0;

 protected:
  // The rows that get a control: their node and their rectangle.
  struct Row {
    fw::TTreeNode* Node;
    RECT Rect;
  };
  std::vector<Row> Rows() const;
  int ItemWidth() const { return panel_.Width() - divider_.Width() - 3; }
  // One item per row, made by make when there are too few and placed by
  // place; the items left over are hidden.
  template <class T, class Make, class Place>
  void LayoutItems(std::vector<T*>& items, Make make, Place place) {
    std::size_t used = 0;
    for (const Row& row : Rows()) {
      if (used == items.size()) items.push_back(make());
      T* item = items[used++];
      item->Group = static_cast<TFileContainer*>(row.Node->Data);
      place(*item, row.Rect);
      item->SetVisible(true);
    }
    for (; used < items.size(); ++used) items[used]->SetVisible(false);
  }
  TFileGroupSelectForm& page_;
  fw::TPanel& panel_;
  fw::TPanel& divider_;
};

class TIncludeList : public TFGSFList {
 public:
  using TFGSFList::TFGSFList;
  void Layout() override;
  const std::vector<TIncludeCheckBox*>& Items() const { return items_; }

 private:
  std::vector<TIncludeCheckBox*> items_;
};

class TSizeList : public TFGSFList {
 public:
  using TFGSFList::TFGSFList;
  void Layout() override;
  const std::vector<TSizeLabel*>& Items() const { return items_; }

 private:
  std::vector<TSizeLabel*> items_;
};

class TFileGroupSelectForm : public TBaseInstallForm {
 public:
  explicit TFileGroupSelectForm(fw::TComponent* owner);
  ~TFileGroupSelectForm() override;
  std::string ClassName() const override { return "TFileGroupSelectForm"; }

  void PreparePage() override;
  bool SkipPage() override { return FileGroupPageSkips(Container); }
  void FillTree();
  void FillDriveList();
  void ShowSelectedGroup();
  void Browse();
  // Both columns follow the tree's rows again.
  void LayoutColumns();
  // The group of the selected node, or nil.
  TFileContainer* SelectedGroup() const;
  // A check box was clicked.
  void IncludeClicked(TIncludeCheckBox& box);

  translator::TTranslateLabel* TopDescriptionLabel = nullptr;
  fw::TPanel *pnlGroups = nullptr, *pnlIncludeBack = nullptr, *pnlInclude = nullptr,
             *pnIncludeRightDivider = nullptr, *pnlIncludeSpacer = nullptr;
  fw::TPanel *pnlSizeBack = nullptr, *pnlSize = nullptr, *pnlSizeRightDivider = nullptr,
             *pnlSizeSpacer = nullptr;
  translator::TTranslateLabel* GroupDescLabel = nullptr;
  fw::TPanel* pnlDescriptionMemo = nullptr;
  fw::TMemo* DescriptionMemo = nullptr;
  fw::TGroupBox* DirectoryGroup = nullptr;
  TLowerCaseEdit* DirectoryLabel = nullptr;
  translator::TTranslateBitBtn* BrowseBtn = nullptr;
  fw::TPanel* pnlDriveSpace = nullptr;
  // Image 0 the drive, image 1 the warning mark.
  HIMAGELIST ilDriveSpace = nullptr;
  TGroupTreeView* GroupTree = nullptr;
  TDriveSpaceListView* DriveList = nullptr;
  std::unique_ptr<TIncludeList> IncludeList;
  std::unique_ptr<TSizeList> SizeList;

 private:
  void ShowHorzScrollSpace();
  bool updating_ = false;
};

class TInstallFileGroupsDlg : public TCustomBaseInstallDlg {
 public:
  explicit TInstallFileGroupsDlg(fw::TComponent* owner);
  std::string ClassName() const override { return "TInstallFileGroupsDlg"; }
  TFormClass FormClass() const override;
  int TriggerEvent() const override { return ieCopyStarting; }
  void AssignDialogProperties() override;
  bool ShowDialog() override;
};

// Free bytes on the drive of a letter, or -1 when the system cannot tell.
std::int64_t DriveFreeSpace(char letter);

}  // namespace setup
