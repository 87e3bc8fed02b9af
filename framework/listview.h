// A list in report style on the system's list view: columns with captions,
// rows of a caption and sub-items, a small image and a state image per row.
// Columns and rows live in the object and are put into the window whenever
// it is made. Image lists are the caller's: the list never destroys them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/controls.h"

namespace fw {

struct TListColumn {
  std::string Caption;
  int Width = 50;
};

struct TListItem {
  std::string Caption;
  std::vector<std::string> SubItems;
  int ImageIndex = -1;  // in the small images; -1: none
  // In the state images, counted from 0; -1: none. The control counts state
  // images from 1 (0 is "no state image"), which the list takes care of.
  int StateIndex = -1;
};

class TListView : public TWinControl {
 public:
  explicit TListView(TComponent* owner);
  const char* TextPropertyName() const override { return ""; }
  // The hint and each column caption ("Columns[0].Caption", ...).
  void StringProperties(std::vector<TStringProperty>& properties) override;

  int AddColumn(const std::string& caption, int width);
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  const TListColumn& Column(int index) const { return columns_.at(static_cast<size_t>(index)); }
  void SetColumnCaption(int index, const std::string& caption);

  int AddItem(const TListItem& item);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  const TListItem& Item(int index) const { return items_.at(static_cast<size_t>(index)); }
  void BeginUpdate();
  void EndUpdate();

  HIMAGELIST SmallImages() const { return smallImages_; }
  void SetSmallImages(HIMAGELIST images);
  HIMAGELIST StateImages() const { return stateImages_; }
  void SetStateImages(HIMAGELIST images);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // Clicks on the column headers (sorting is the caller's).
  bool ColumnClick() const { return columnClick_; }
  void SetColumnClick(bool value);
  bool Border() const { return border_; }
  void SetBorder(bool value);
  bool WantsKey(WORD key) const override { return key >= VK_PRIOR && key <= VK_DOWN; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;

 private:
  void SendColumn(int index, bool insert);
  void SendItem(int index);
  void SendSubItem(int index, int sub);
  std::vector<TListColumn> columns_;
  std::vector<TListItem> items_;
  HIMAGELIST smallImages_ = nullptr, stateImages_ = nullptr;
  bool readOnly_ = false, columnClick_ = true, border_ = true;
  int updates_ = 0;
};

}  // namespace fw
