// The component selection page on the test display with a real tree: the
// check boxes and size labels follow the rows however the tree moves, a
// click acts on the group shown beside it, and the drive list follows the
// selection and the destinations. Saves "group_select_page.bmp".
#include "setup/group_select/page_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "setup/paths/path_specifiers.h"
#include "setup/translator/translator.h"
#include "tests/framework/gui_support.h"
#include "tests/setup/install/install_test_support.h"
#include "tests/support/screenshot.h"

namespace setup {
namespace {

using test_support::StandInFile;
using test_support::StandInInstall;

class GroupPage : public ::testing::Test {
 public:
  void SetUp() override {
    EnsureStandardSpecifiers(&owner);
    install = new StandInInstall(&owner);
    install->GroupName = "Tallimo";
    Place(install, "C:\\Program Files\\Tallimo");
    program = Group("Program", install, "C:\\Program Files\\Tallimo", {1000});
    help = Group("Help", install, "C:\\Program Files\\Tallimo\\Help", {2000, 500});
    samples = Group("Samples", help, "Z:\\tmp\\samples", {700});
    for (int i = 0; i < 9; ++i) Group("Driver " + std::to_string(i), install, "C:\\Drivers", {100 * (i + 1)});
    fixed = Group("Runtime", install, "C:\\Windows\\System", {300});
    fixed->AllowChoice = false;
    fixed->AllowChangeDir = false;
    install->SetCurrentInstallType(itCustom);
    page = std::make_unique<TFileGroupSelectForm>(nullptr);
    page->Container = install;
    // As in a wizard: the page is prepared, then shown.
    shown = page.get();
    page->PreparePage();
    page->Show();
    fwtest::PumpFor(100);
  }
  void Place(TInstallContainer* container, const std::string& dir) {
    container->SetDestDirType(nullptr);
    container->SetDestDir(dir);
  }
  TInstallFileGroup* Group(const std::string& name, TInstallContainer* container, const std::string& dir,
                           std::initializer_list<std::int32_t> sizes) {
    auto* group = new TInstallFileGroup(&owner);
    group->SetContainer(container);
    group->GroupName = name;
    Place(group, dir);
    for (std::int32_t size : sizes) (new StandInFile(&owner, size))->SetContainer(group);
    return group;
  }
  HWND Tree() { return shown->GroupTree->Handle(); }
  fw::TTreeNode* NodeOf(const TFileContainer* group) {
    for (fw::TTreeNode* node : shown->GroupTree->Nodes())
      if (node->Data == group) return node;
    return nullptr;
  }
  // The node's row on the screen, from the tree window itself.
  bool ScreenRow(const TFileContainer* group, RECT& row) {
    *reinterpret_cast<HTREEITEM*>(&row) = NodeOf(group)->ItemId();
    if (!SendMessageA(Tree(), TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&row))) return false;
    MapWindowPoints(Tree(), nullptr, reinterpret_cast<POINT*>(&row), 2);
    return true;
  }
  // Every row the tree shows in full has its group's box and size label
  // beside it, and no box or label is shown for any other row.
  void ExpectColumnsBesideRows(const char* after, int leastRows = 4) {
    SCOPED_TRACE(after);
    fwtest::PumpFor(30);
    RECT client;
    GetClientRect(Tree(), &client);
    MapWindowPoints(Tree(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    int rowsShown = 0;
    for (fw::TTreeNode* node : shown->GroupTree->Nodes()) {
      RECT row;
      auto* group = static_cast<TFileContainer*>(node->Data);
      if (!ScreenRow(group, row) || row.top < client.top || row.bottom > client.bottom) continue;
      ++rowsShown;
      // What lies beside the row's middle is this group's box and label.
      // (A disabled box counts too.)
      RECT column;
      GetWindowRect(shown->pnlInclude->Handle(), &column);
      POINT middle{column.left + 8, (row.top + row.bottom) / 2};
      ScreenToClient(shown->pnlInclude->Handle(), &middle);
      auto* box = dynamic_cast<TIncludeCheckBox*>(
          fw::TControl::FromHandle(ChildWindowFromPointEx(shown->pnlInclude->Handle(), middle, CWP_SKIPINVISIBLE)));
      ASSERT_NE(box, nullptr) << node->Text();
      EXPECT_EQ(box->Group, group) << node->Text();
      RECT at;
      GetWindowRect(box->Handle(), &at);
      EXPECT_EQ(at.top, row.top) << node->Text();
      EXPECT_EQ(at.bottom, row.bottom) << node->Text();
      EXPECT_EQ(box->Checked(), group->IsIncluded()) << node->Text();
      int labels = 0;
      for (TSizeLabel* label : shown->SizeList->Items()) {
        if (!IsWindowVisible(label->Handle()) || label->Group != group) continue;
        ++labels;
        GetWindowRect(label->Handle(), &at);
        EXPECT_EQ(at.top, row.top) << node->Text();
      }
      EXPECT_EQ(labels, 1) << node->Text();
    }
    // Boxes below the column's end are cut off: not seen.
    RECT column;
    GetWindowRect(shown->pnlInclude->Handle(), &column);
    int boxesShown = 0;
    for (TIncludeCheckBox* box : shown->IncludeList->Items()) {
      RECT at;
      GetWindowRect(box->Handle(), &at);
      boxesShown += IsWindowVisible(box->Handle()) && at.top < column.bottom;
    }
    EXPECT_GE(rowsShown, leastRows);
    // A row cut by the tree's bottom edge may keep its box.
    EXPECT_GE(boxesShown, rowsShown);
    EXPECT_LE(boxesShown, rowsShown + 1);
  }
  // A click as a user makes it, on whatever is shown beside the group's row.
  void ClickBeside(const TFileContainer* group) {
    RECT row, column;
    ASSERT_TRUE(ScreenRow(group, row));
    GetWindowRect(shown->pnlInclude->Handle(), &column);
    HWND beside = WindowFromPoint({column.left + 8, (row.top + row.bottom) / 2});
    SendMessageA(beside, BM_CLICK, 0, 0);
    fwtest::PumpFor(30);
  }
  std::vector<std::string> DriveRows() {
    std::vector<std::string> rows;
    HWND list = shown->DriveList->Handle();
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      std::string row;
      for (int sub = 0; sub < 2; ++sub) {
        char text[64] = {};
        LVITEMA item{};
        item.iSubItem = sub;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        row += (sub ? " " : "") + std::string(text);
      }
      if (SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2)) row += " !";
      rows.push_back(row);
    }
    return rows;
  }

  fw::TComponent owner{nullptr};
  StandInInstall* install = nullptr;
  TInstallFileGroup *program = nullptr, *help = nullptr, *samples = nullptr, *fixed = nullptr;
  std::unique_ptr<TFileGroupSelectForm> page;
  // The page the helpers look at.
  TFileGroupSelectForm* shown = nullptr;
  TInstallFileGroupsDlg* dlg = nullptr;
};

TEST_F(GroupPage, ColumnsFollowTheRowsThroughExpandingKeysWheelAndScrollBar) {
  ExpectColumnsBesideRows("showing");
  EXPECT_EQ(page->GroupTree->Selected(), NodeOf(install));
  // Help's subgroup shows once Help is expanded with the keyboard.
  page->GroupTree->SetSelected(NodeOf(help));
  RECT row;
  EXPECT_FALSE(ScreenRow(samples, row));
  SendMessageA(Tree(), WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_TRUE(ScreenRow(samples, row));
  ExpectColumnsBesideRows("expanding");
  const struct {
    const char* what;
    UINT message;
    WPARAM wParam;
  } moves[] = {
      {"End", WM_KEYDOWN, VK_END},
      {"Home", WM_KEYDOWN, VK_HOME},
      {"wheel down", WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA)},
      {"line up", WM_VSCROLL, SB_LINEUP},
      {"page down", WM_KEYDOWN, VK_NEXT},
      {"wheel up", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA)},
      {"collapse with Left on the root", WM_KEYDOWN, VK_LEFT},
  };
  for (const auto& move : moves) {
    if (move.message == WM_KEYDOWN && move.wParam == VK_LEFT) page->GroupTree->SetSelected(NodeOf(install));
    SendMessageA(Tree(), move.message, move.wParam, 0);
    ExpectColumnsBesideRows(move.what, move.wParam == VK_LEFT ? 1 : 4);
  }
}

TEST_F(GroupPage, AClickBesideARowSetsThatGroupsInclude) {
  SendMessageA(Tree(), WM_KEYDOWN, VK_END, 0);  // scrolled: the last group is shown
  ExpectColumnsBesideRows("End");
  ClickBeside(fixed);  // its box is disabled: nothing changes
  EXPECT_TRUE(fixed->Include);
  TInstallFileGroup* last = nullptr;
  for (fw::TTreeNode* node : page->GroupTree->Nodes())
    if (node->Data != fixed && node->Parent()) last = static_cast<TInstallFileGroup*>(node->Data);
  ClickBeside(last);
  EXPECT_FALSE(last->Include);
  for (TInstallContainer* child : install->Children())
    if (auto* group = dynamic_cast<TInstallFileGroup*>(child); group && group != last)
      EXPECT_TRUE(group->Include) << group->GroupName;
  // The root's size and the drive rows lose the group's bytes at once.
  SendMessageA(Tree(), WM_KEYDOWN, VK_HOME, 0);
  ExpectColumnsBesideRows("Home");
  ClickBeside(help);  // Help and its subgroup leave the rows
  EXPECT_FALSE(help->Include);
  EXPECT_EQ(DriveRows().size(), 1u);
  EXPECT_EQ(DriveRows()[0].rfind("C ", 0), 0u);
  ClickBeside(help);
  EXPECT_TRUE(help->Include);
  EXPECT_EQ(DriveRows().size(), 2u);
}

TEST_F(GroupPage, ChoiceAndDirectoryChangesFollowTheGroupsRights) {
  RECT row;
  SendMessageA(Tree(), WM_KEYDOWN, VK_END, 0);
  fwtest::PumpFor(30);
  ASSERT_TRUE(ScreenRow(fixed, row));
  for (TIncludeCheckBox* box : page->IncludeList->Items())
    if (IsWindowVisible(box->Handle()) && box->Group)
      EXPECT_EQ(IsWindowEnabled(box->Handle()) != 0, box->Group != fixed) << box->Group->GroupName;
  page->GroupTree->SetSelected(NodeOf(fixed));
  EXPECT_FALSE(IsWindowEnabled(page->BrowseBtn->Handle()));
  EXPECT_TRUE(IsWindowEnabled(page->DirectoryLabel->Handle()));
  char text[MAX_PATH] = {};
  GetWindowTextA(page->DirectoryLabel->Handle(), text, sizeof text);
  EXPECT_STREQ(text, "c:\\windows\\system");
  page->GroupTree->SetSelected(NodeOf(program));
  EXPECT_TRUE(IsWindowEnabled(page->BrowseBtn->Handle()));
  // Browse: the chosen folder becomes the group's, and the drive rows follow.
  std::string started;
  FolderChooser() = [&](const std::string& start, std::string& chosen) {
    started = start;
    chosen = "Y:\\Other\\";
    return true;
  };
  SendMessageA(page->BrowseBtn->Handle(), BM_CLICK, 0, 0);
  FolderChooser() = nullptr;
  EXPECT_EQ(program->DestDir(), "Y:\\Other");
  EXPECT_EQ(program->DestDirType(), nullptr);
  GetWindowTextA(page->DirectoryLabel->Handle(), text, sizeof text);
  EXPECT_STREQ(text, "y:\\other");
  const std::vector<std::string> rows = DriveRows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], "Y 1,000 Bytes !");
}

TEST_F(GroupPage, TypingADestinationRefreshesTheDrivesAtOnceAndThreeRowsScroll) {
  EXPECT_EQ(DriveRows().size(), 2u);  // C and Z
  EXPECT_EQ(page->pnlDriveSpace->Height(), 61);
  page->GroupTree->SetSelected(NodeOf(program));
  HWND edit = page->DirectoryLabel->Handle();
  SendMessageA(edit, EM_SETSEL, 0, -1);
  // A drive this prefix does not have: no free space, so the warning mark.
  for (char c : std::string("Q:\\Tallimo")) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
  EXPECT_EQ(program->DestDir(), "q:\\tallimo");
  EXPECT_EQ(program->DestDirType(), nullptr);
  const std::vector<std::string> rows = DriveRows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], "C 7,300 Bytes");  // the installer's own drive comes first
  EXPECT_EQ(rows[1], "Q 1,000 Bytes !");
  EXPECT_EQ(page->pnlDriveSpace->Height(), 61);
  EXPECT_EQ(SendMessageA(page->DriveList->Handle(), LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK), 0);
  page->GroupTree->SetSelected(NodeOf(help));
  // Long enough for a look from outside the test, too.
  fwtest::PumpFor(800);
  ASSERT_TRUE(::test_support::SaveBitmap("group_select_page.bmp", ::test_support::CaptureWindow(page->Handle())));
}

TEST_F(GroupPage, TheTranslatorReachesColumnCaptionsSizesAndDescriptions) {
  translator::TTranslator translator(nullptr);
  translator.Language(translator::plEnglish)
      .Strings()
      .Assign({"1;Space Required:", "2;Space Available:", "3;Bytes", "#40", "Manuals and examples", "#"});
  translator.Language(translator::plFrench)
      .Strings()
      .Assign({"1;Espace requis :", "2;Espace disponible :", "3;Octets", "#40", "Manuels et exemples", "#"});
  translator.SetTranslateIntoLanguage(translator::plFrench);
  help->Description = {"Manuals and examples"};
  page->TranslateForm();
  page->PreparePage();
  char text[64] = {};
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT;
  column.pszText = text;
  column.cchTextMax = sizeof text;
  SendMessageA(page->DriveList->Handle(), LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
  EXPECT_STREQ(text, "Espace requis :");
  EXPECT_EQ(DriveRows()[0], "C 8,300 Octets");
  EXPECT_EQ(page->SizeList->Items()[0]->Caption(), "9,000 Octets");
  EXPECT_FALSE(page->DescriptionMemo->Visible());
  page->GroupTree->SetSelected(NodeOf(help));
  EXPECT_TRUE(page->DescriptionMemo->Visible());
  EXPECT_TRUE(IsWindowVisible(page->GroupDescLabel->Handle()));
  EXPECT_EQ(page->DescriptionMemo->Text(), "Manuels et exemples");
}

// The wizard that shows the page; a timer looks at the page while it is up.
GroupPage* shownIn = nullptr;
int pagesSeen = 0;
void CALLBACK LookAndGoOn(HWND, UINT, UINT_PTR, DWORD) {
  auto* page = dynamic_cast<TFileGroupSelectForm*>(shownIn->dlg->ShownForm());
  if (!page || !IsWindowVisible(page->Handle())) return;
  ++pagesSeen;
  shownIn->shown = page;
  shownIn->ExpectColumnsBesideRows("in the wizard");
  page->NextButton->Click();
}

TEST_F(GroupPage, InAWizardItShowsAfterCustomOnly) {
  page.reset();
  TDialogManager manager(&owner);
  manager.SetContainer(install);
  dlg = new TInstallFileGroupsDlg(&owner);
  dlg->SetContainer(install);
  ASSERT_EQ(dlg->DialogManager(), &manager);
  shownIn = this;
  const UINT_PTR timer = SetTimer(nullptr, 0, 200, LookAndGoOn);
  install->Broadcast(install, ieBeforeInstallWizard, nullptr);
  const int seen = pagesSeen;
  EXPECT_GE(seen, 1);
  install->SetCurrentInstallType(itFull);  // skipped: nothing to show
  install->Broadcast(install, ieBeforeInstallWizard, nullptr);
  KillTimer(nullptr, timer);
  EXPECT_EQ(pagesSeen, seen);
  delete dlg;
}

TEST(GroupPageDialog, ItsPlaceAndItsContainer) {
  fw::TComponent owner(nullptr);
  TInstallFileGroupsDlg dlg(&owner);
  dlg.SetName("FileGroupsDlg");
  EXPECT_EQ(dlg.Order, 50);
  EXPECT_EQ(dlg.TriggerEvent(), ieCopyStarting);
  EXPECT_EQ(dlg.InstallTypes(), InstallTypeSet({itAlways}));
  std::unique_ptr<TBaseInstallForm> form(dlg.FormClass()(nullptr));
  EXPECT_EQ(form->Caption(), "Select components to install");
  EXPECT_EQ(form->Order, 50);
  EXPECT_TRUE(form->SkipPage());  // no installer here
  try {
    dlg.ShowDialog();
    FAIL();
  } catch (const fw::Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot run this dialog FileGroupsDlg with a blank Container property");
  }
  try {
    form->PreparePage();
    FAIL();
  } catch (const IEFileGroupSelectForm& e) {
    EXPECT_EQ(e.Message(), "Cannot show the install file groups dialog for blank container property");
  }
}

}  // namespace
}  // namespace setup
