// The tree view and the list view on the test display, read back from the
// system's controls.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/form.h"
#include "framework/listview.h"
#include "framework/treeview.h"
#include "tests/framework/gui_support.h"

namespace fw {
namespace {

class TreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 300, 260);
    tree = new TTreeView(form.get());
    tree->SetParent(form.get());
    tree->SetBounds(0, 0, 200, 120);
    tree->SetHideSelection(false);
    tree->SetReadOnly(true);
    root = tree->AddChild(nullptr, "Root", &data[0]);
    for (int i = 0; i < 12; ++i) {
      TTreeNode* group = tree->AddChild(root, "Group " + std::to_string(i), &data[1 + i]);
      tree->AddChild(group, "Part of " + std::to_string(i), &data[20 + i]);
    }
    root->Expand();
    tree->OnScroll = [this](TComponent*) { ++scrolls; };
    tree->OnExpanded = [this](TComponent*, TTreeNode* node) { expanded.push_back(node); };
    tree->OnCollapsed = [this](TComponent*, TTreeNode* node) { collapsed.push_back(node); };
    tree->OnChange = [this](TComponent*, TTreeNode* node) { changes.push_back(node); };
    form->Show();
    fwtest::PumpFor(50);
    scrolls = 0;
    changes.clear();  // the tree selects a node when it takes the focus
  }
  // The top of the node's row, or -1000 when it is not shown.
  int RowTop(TTreeNode* node) {
    RECT r;
    return tree->DisplayRect(node, r) ? r.top : -1000;
  }
  HWND Window() { return tree->Handle(); }

  std::unique_ptr<TForm> form;
  TTreeView* tree = nullptr;
  TTreeNode* root = nullptr;
  int data[40] = {};
  int scrolls = 0;
  std::vector<TTreeNode*> expanded, collapsed, changes;
};

TEST_F(TreeViewTest, NodesCarryTheirDataAndRowsFollowExpansion) {
  const auto nodes = tree->Nodes();
  ASSERT_EQ(nodes.size(), 25u);
  EXPECT_EQ(nodes[0]->Data, &data[0]);
  EXPECT_EQ(nodes[1]->Text(), "Group 0");
  EXPECT_EQ(nodes[2]->Data, &data[20]);  // a group's part follows it
  EXPECT_EQ(nodes[2]->Parent(), nodes[1]);
  char cls[32] = {};
  GetClassNameA(Window(), cls, sizeof cls);
  EXPECT_STREQ(cls, WC_TREEVIEWA);
  const LONG style = GetWindowLongA(Window(), GWL_STYLE);
  EXPECT_TRUE(style & TVS_SHOWSELALWAYS);
  EXPECT_FALSE(style & TVS_EDITLABELS);
  // Rows: the root at 0, each group one row lower; parts are hidden.
  const int row = RowTop(nodes[3]) - RowTop(nodes[1]);
  EXPECT_GT(row, 10);
  EXPECT_EQ(RowTop(nodes[0]), 0);
  EXPECT_EQ(RowTop(nodes[2]), -1000);
  // Expanded by a call: the part shows and the group below moves down.
  nodes[1]->Expand();
  ASSERT_EQ(expanded.size(), 1u);
  EXPECT_EQ(expanded[0], nodes[1]);
  EXPECT_EQ(RowTop(nodes[2]), 2 * row);
  EXPECT_EQ(RowTop(nodes[3]), 3 * row);
  // Collapsed by the user (the Left key on the selected node).
  tree->SetSelected(nodes[1]);
  EXPECT_EQ(tree->Selected(), nodes[1]);
  SendMessageA(Window(), WM_KEYDOWN, VK_LEFT, 0);
  ASSERT_EQ(collapsed.size(), 1u);
  EXPECT_EQ(collapsed[0], nodes[1]);
  EXPECT_FALSE(nodes[1]->Expanded());
  EXPECT_EQ(RowTop(nodes[2]), -1000);
  // Expanded by the user with Right.
  SendMessageA(Window(), WM_KEYDOWN, VK_RIGHT, 0);
  ASSERT_EQ(expanded.size(), 2u);
  EXPECT_TRUE(nodes[1]->Expanded());
  // The window made again keeps nodes, expansion and selection.
  tree->RecreateWnd();
  EXPECT_EQ(RowTop(nodes[2]), 2 * row);
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageA(Window(), TVM_GETNEXTITEM, TVGN_CARET, 0)),
            nodes[1]->ItemId());
}

TEST_F(TreeViewTest, KeysWheelAndScrollBarReportMovedRows) {
  const auto nodes = tree->Nodes();
  struct Step {
    const char* what;
    std::function<void()> act;
    bool scrolls;
  } steps[] = {
      {"End", [&] { SendMessageA(Window(), WM_KEYDOWN, VK_END, 0); }, true},
      {"Home", [&] { SendMessageA(Window(), WM_KEYDOWN, VK_HOME, 0); }, true},
      {"wheel down", [&] { SendMessageA(Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); }, true},
      {"wheel up", [&] { SendMessageA(Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0); }, true},
      {"line down", [&] { SendMessageA(Window(), WM_VSCROLL, SB_LINEDOWN, 0); }, true},
      {"line up", [&] { SendMessageA(Window(), WM_VSCROLL, SB_LINEUP, 0); }, true},
      {"line up at the top", [&] { SendMessageA(Window(), WM_VSCROLL, SB_LINEUP, 0); }, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    const int before = RowTop(nodes[0]);
    scrolls = 0;
    step.act();
    EXPECT_EQ(scrolls, step.scrolls ? 1 : 0);
    EXPECT_EQ(RowTop(nodes[0]) != before, step.scrolls);
  }
  EXPECT_EQ(changes.size(), 2u);  // End and Home moved the selection
}

TEST_F(TreeViewTest, TheHorizontalScrollBarStaysWhenAlwaysShown) {
  tree->SetBorder(false);
  EXPECT_FALSE(GetWindowLongA(Window(), GWL_STYLE) & WS_HSCROLL);
  tree->SetHorzScrollBarAlways(true);
  EXPECT_TRUE(GetWindowLongA(Window(), GWL_STYLE) & WS_HSCROLL);
  // A long row makes the tree need the bar, a collapse takes that need away.
  TTreeNode* first = tree->Nodes()[1];
  tree->AddChild(first->Item(0), std::string(120, 'W'));
  first->Expand(true);
  first->Collapse();
  tree->SetBounds(0, 0, 180, 110);
  fwtest::PumpFor(50);
  EXPECT_TRUE(GetWindowLongA(Window(), GWL_STYLE) & WS_HSCROLL);
  RECT client;
  GetClientRect(Window(), &client);
  EXPECT_EQ(110 - client.bottom, GetSystemMetrics(SM_CYHSCROLL));
}

TEST(ListViewTest, ReportColumnsSubItemsAndOneBasedStateImages) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* list = new TListView(form.get());
  list->SetParent(form.get());
  list->SetBounds(0, 0, 300, 100);
  list->SetColumnClick(false);
  list->SetReadOnly(true);
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
  HBITMAP picture = CreateBitmap(16, 16, 1, 32, nullptr);
  ImageList_Add(images, picture, nullptr);
  ImageList_Add(images, picture, nullptr);
  list->SetSmallImages(images);
  list->SetStateImages(images);
  list->AddColumn("", 50);
  list->AddColumn("Space Required:", 120);
  list->AddItem({"C", {"3,500 Bytes", "2,500 Bytes"}, 0, 1});  // kept until the window exists
  form->Show();
  list->AddColumn("Space Available:", 120);
  list->AddItem({"D", {"0 Bytes", "5 Bytes"}, 0, -1});
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    HWND window = list->Handle();
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & LVS_NOSORTHEADER);
    EXPECT_EQ(SendMessageA(window, LVM_GETCOLUMNWIDTH, 1, 0), 120);
    char text[64] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    SendMessageA(window, LVM_GETCOLUMNA, 2, reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(text, "Space Available:");
    ASSERT_EQ(SendMessageA(window, LVM_GETITEMCOUNT, 0, 0), 2);
    const struct {
      int row, sub;
      const char* text;
    } cells[] = {{0, 0, "C"}, {0, 1, "3,500 Bytes"}, {0, 2, "2,500 Bytes"}, {1, 0, "D"}, {1, 2, "5 Bytes"}};
    for (const auto& cell : cells) {
      LVITEMA item{};
      item.iSubItem = cell.sub;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendMessageA(window, LVM_GETITEMTEXTA, cell.row, reinterpret_cast<LPARAM>(&item));
      EXPECT_STREQ(text, cell.text);
    }
    // Image 1 of the state images is the control's state index 2.
    EXPECT_EQ(SendMessageA(window, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
    EXPECT_EQ(SendMessageA(window, LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK), 0);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(window, LVM_GETIMAGELIST, LVSIL_STATE, 0)), images);
    list->RecreateWnd();
  }
  // Column captions are text properties, so a translator reaches them.
  EXPECT_EQ(list->GetStringProperty("Columns[1].Caption"), "Space Required:");
  EXPECT_TRUE(list->SetStringProperty("Columns[2].Caption", "Espace disponible:"));
  char text[64] = {};
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT;
  column.pszText = text;
  column.cchTextMax = sizeof text;
  SendMessageA(list->Handle(), LVM_GETCOLUMNA, 2, reinterpret_cast<LPARAM>(&column));
  EXPECT_STREQ(text, "Espace disponible:");
  list->Clear();
  EXPECT_EQ(SendMessageA(list->Handle(), LVM_GETITEMCOUNT, 0, 0), 0);
  form.reset();  // the list leaves the shared images alone
  EXPECT_EQ(ImageList_GetImageCount(images), 2);
  ImageList_Destroy(images);
  DeleteObject(picture);
}

}  // namespace
}  // namespace fw
