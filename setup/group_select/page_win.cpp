#include "setup/group_select/page_win.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "framework/application.h"
#include "framework/locale.h"
#include "setup/translator/translator.h"

namespace setup {
namespace {

// A panel with a plain one-pixel frame.
class TSingleBorderPanel : public fw::TPanel {
 public:
  explicit TSingleBorderPanel(fw::TComponent* owner) : fw::TPanel(owner) { SetBevelOuter(fw::TBevelCut::bvNone); }

 protected:
  void CreateParams(fw::TCreateParams& params) override {
    fw::TPanel::CreateParams(params);
    params.Style |= WS_BORDER;
  }
};

fw::TPanel* NewPanel(fw::TComponent* owner, fw::TWinControl* parent, const char* name, fw::TAlign align) {
  auto* panel = new fw::TPanel(owner);
  panel->SetName(name);
  panel->SetParent(parent);
  panel->SetBevelOuter(fw::TBevelCut::bvNone);
  panel->SetCaption("");
  panel->SetAlign(align);
  return panel;
}

// A column beside the tree: a window-coloured panel with a black divider at
// its right and a spacer under it where the tree has its scroll bar.
void BuildColumn(fw::TComponent* owner, fw::TWinControl* parent, const char* names[4], int width,
                 fw::TAlign align, fw::TPanel*& back, fw::TPanel*& column, fw::TPanel*& divider,
                 fw::TPanel*& spacer) {
  back = NewPanel(owner, parent, names[0], align);
  back->SetWidth(width);
  spacer = NewPanel(owner, back, names[3], fw::TAlign::alBottom);
  spacer->SetVisible(false);
  column = NewPanel(owner, back, names[1], fw::TAlign::alClient);
  column->SetColor(fw::clWindow);
  divider = NewPanel(owner, column, names[2], fw::TAlign::alRight);
  divider->SetWidth(3);
  divider->SetColor(fw::clBlack);
}

// The drive picture and the warning mark, drawn once per page.
HIMAGELIST CreateDriveSpaceImages() {
  constexpr int size = 16;
  constexpr COLORREF mask = RGB(255, 0, 255);
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 2, 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 2 * size, size);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  auto fill = [&](RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  };
  fill({0, 0, 2 * size, size}, mask);
  // A drive: a grey case with a dark edge and a green light.
  fill({1, 5, 15, 12}, RGB(64, 64, 64));
  fill({2, 6, 14, 11}, RGB(192, 192, 192));
  fill({11, 8, 13, 10}, RGB(0, 160, 0));
  // A warning: a yellow triangle with a black edge and an exclamation mark.
  const POINT triangle[] = {{size + 8, 1}, {size + 15, 14}, {size + 1, 14}};
  HBRUSH yellow = CreateSolidBrush(RGB(255, 210, 0));
  HGDIOBJ oldBrush = SelectObject(dc, yellow);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  Polygon(dc, triangle, 3);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(yellow);
  fill({size + 7, 5, size + 9, 10}, RGB(0, 0, 0));
  fill({size + 7, 11, size + 9, 13}, RGB(0, 0, 0));
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  ImageList_AddMasked(list, bitmap, mask);
  DeleteObject(bitmap);
  return list;
}

std::string LowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

class UpdatingScope {
 public:
  explicit UpdatingScope(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~UpdatingScope() { flag_ = was_; }
  UpdatingScope(const UpdatingScope&) = delete;
  UpdatingScope& operator=(const UpdatingScope&) = delete;

 private:
  bool& flag_;
  bool was_;
};

}  // namespace

std::int64_t DriveFreeSpace(char letter) {
  const char root[] = {letter, ':', '\\', '\0'};
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) return -1;
  return FreeSpaceBytes(sectorsPerCluster, bytesPerSector, freeClusters);
}

// --- The overlay columns

std::vector<TFGSFList::Row> TFGSFList::Rows() const {
  TGroupTreeView& tree = *page_.GroupTree;
  const std::vector<fw::TTreeNode*> nodes = tree.Nodes();
  std::vector<TTreeRow> rows;
  std::vector<RECT> rects(nodes.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const bool shown = tree.DisplayRect(nodes[i], rects[i]);
    rows.push_back({shown, static_cast<int>(rects[i].top), static_cast<int>(rects[i].bottom)});
  }
  std::vector<Row> overlaid;
  for (int i : OverlaidRows(rows, tree.Height())) overlaid.push_back({nodes[i], rects[i]});
  return overlaid;
}

void TIncludeList::Layout() {
  auto make = [this] {
    auto* box = new TIncludeCheckBox(&page_);
    box->SetParent(&panel_);
    box->OnClick = [this, box](fw::TComponent*) { page_.Guard([this, box] { page_.IncludeClicked(*box); }); };
    return box;
  };
  LayoutItems(items_, make, [this](TIncludeCheckBox& box, const RECT& row) {
    box.SetCaption("");
    box.SetBounds(3, row.top, ItemWidth(), row.bottom - row.top);
    {
      UpdatingScope updating(box.Updating);
      box.SetChecked(box.Group->IsIncluded());
    }
    box.SetEnabled(box.Group->AllowChoice);
  });
}

void TSizeList::Layout() {
  const std::string separator = fw::ThousandSeparator();
  const std::string bytes = translator::TranslateString("Bytes");
  auto make = [this] {
    auto* label = new TSizeLabel(&page_);
    label->SetParent(&panel_);
    label->SetAutoSize(false);
    label->SetAlignment(fw::TAlignment::taRightJustify);
    return label;
  };
  LayoutItems(items_, make, [&](TSizeLabel& label, const RECT& row) {
    label.SetBounds(1, row.top, ItemWidth(), row.bottom - row.top);
    label.SetCaption(ByteCountText(SelectedSize(*label.Group), separator, bytes));
  });
}

// --- TFileGroupSelectForm

TFileGroupSelectForm::TFileGroupSelectForm(fw::TComponent* owner) : TBaseInstallForm(owner) {
  fw::FormLoading loading(*this);
  SetName("FileGroupSelectForm");
  SetCaption("Select components to install");
  BuildLayout(false);
  TopDescriptionLabel = new translator::TTranslateLabel(this);
  TopDescriptionLabel->SetName("TopDescriptionLabel");
  TopDescriptionLabel->SetParent(ContentPanel);
  TopDescriptionLabel->SetAutoSize(false);
  TopDescriptionLabel->SetWordWrap(true);
  TopDescriptionLabel->SetBounds(8, 6, 318, 36);
  TopDescriptionLabel->SetCaption(
      "Select the components you want to install, clear the components you do not want to install. Double "
      "click on a group to see all of its subgroups.");
  TopDescriptionLabel->GLID = 28;

  pnlGroups = new TSingleBorderPanel(this);
  pnlGroups->SetName("pnlGroups");
  pnlGroups->SetParent(ContentPanel);
  pnlGroups->SetCaption("");
  pnlGroups->SetBounds(8, 44, 318, 107);
  const char* includeNames[4] = {"pnlIncludeBack", "pnlInclude", "pnIncludeRightDivider", "pnlIncludeSpacer"};
  BuildColumn(this, pnlGroups, includeNames, 20, fw::TAlign::alLeft, pnlIncludeBack, pnlInclude,
              pnIncludeRightDivider, pnlIncludeSpacer);
  const char* sizeNames[4] = {"pnlSizeBack", "pnlSize", "pnlSizeRightDivider", "pnlSizeSpacer"};
  BuildColumn(this, pnlGroups, sizeNames, 93, fw::TAlign::alRight, pnlSizeBack, pnlSize, pnlSizeRightDivider,
              pnlSizeSpacer);

  GroupDescLabel = new translator::TTranslateLabel(this);
  GroupDescLabel->SetName("GroupDescLabel");
  GroupDescLabel->SetParent(ContentPanel);
  GroupDescLabel->SetBounds(8, 154, 120, 13);
  GroupDescLabel->SetCaption("Description");
  GroupDescLabel->GLID = 29;
  GroupDescLabel->SetVisible(false);
  pnlDescriptionMemo = NewPanel(this, ContentPanel, "pnlDescriptionMemo", fw::TAlign::alNone);
  pnlDescriptionMemo->SetBounds(8, 168, 318, 32);
  pnlDescriptionMemo->SetVisible(false);
  DescriptionMemo = new fw::TMemo(this);
  DescriptionMemo->SetName("DescriptionMemo");
  DescriptionMemo->SetParent(pnlDescriptionMemo);
  DescriptionMemo->SetAlign(fw::TAlign::alClient);
  DescriptionMemo->SetReadOnly(true);
  DescriptionMemo->SetScrollBars(fw::TMemo::TScrollStyle::ssVertical);
  DescriptionMemo->SetColor(fw::clBtnFace);
  DescriptionMemo->SetVisible(false);

  DirectoryGroup = new fw::TGroupBox(this);
  DirectoryGroup->SetName("DirectoryGroup");
  DirectoryGroup->SetParent(ContentPanel);
  DirectoryGroup->SetBounds(8, 202, 318, 48);
  DirectoryGroup->SetCaption("Destination Directory");
  DirectoryLabel = new TLowerCaseEdit(this);
  DirectoryLabel->SetName("DirectoryLabel");
  DirectoryLabel->SetParent(DirectoryGroup);
  DirectoryLabel->SetBounds(8, 18, 220, 21);
  DirectoryLabel->OnChange = [this](fw::TComponent*) {
    Guard([this] {
      TFileContainer* group = SelectedGroup();
      if (updating_ || !group) return;
      group->SetDestDirType(nullptr);
      group->SetDestDir(LowerCase(DirectoryLabel->Text()));
      // The rows follow the typed drive at once.
      FillDriveList();
    });
  };
  BrowseBtn = new translator::TTranslateBitBtn(this);
  BrowseBtn->SetName("BrowseBtn");
  BrowseBtn->SetParent(DirectoryGroup);
  BrowseBtn->SetBounds(234, 16, 76, 25);
  BrowseBtn->SetCaption("&Browse...");
  BrowseBtn->GLID = 48;
  BrowseBtn->OnClick = [this](fw::TComponent*) { Guard([this] { Browse(); }); };

  pnlDriveSpace = NewPanel(this, ContentPanel, "pnlDriveSpace", fw::TAlign::alNone);
  pnlDriveSpace->SetBounds(8, 314 - 45, 318, 45);
  ilDriveSpace = CreateDriveSpaceImages();

  GroupTree = new TGroupTreeView(this, this);
  GroupTree->SetName("");
  GroupTree->SetParent(pnlGroups);
  GroupTree->SetAlign(fw::TAlign::alClient);
  GroupTree->SetBorder(false);
  GroupTree->SetHideSelection(false);
  GroupTree->SetReadOnly(true);
  auto relayout = [this](fw::TComponent*, fw::TTreeNode*) { Guard([this] { LayoutColumns(); }); };
  GroupTree->OnExpanded = relayout;
  GroupTree->OnCollapsed = relayout;
  GroupTree->OnScroll = [this](fw::TComponent*) { Guard([this] { LayoutColumns(); }); };
  GroupTree->OnResize = GroupTree->OnScroll;
  GroupTree->OnChange = [this](fw::TComponent*, fw::TTreeNode*) {
    Guard([this] {
      LayoutColumns();
      ShowSelectedGroup();
    });
  };

  DriveList = new TDriveSpaceListView(this, this);
  DriveList->SetName("");
  DriveList->SetParent(pnlDriveSpace);
  DriveList->SetAlign(fw::TAlign::alClient);
  DriveList->SetSmallImages(ilDriveSpace);
  DriveList->SetStateImages(ilDriveSpace);
  DriveList->SetColumnClick(false);
  DriveList->SetReadOnly(true);
  DriveList->AddColumn("", 50);
  DriveList->AddColumn("Space Required:", 120);
  DriveList->AddColumn("Space Available:", 120);

  IncludeList = std::make_unique<TIncludeList>(*this, *pnlInclude, *pnIncludeRightDivider);
  SizeList = std::make_unique<TSizeList>(*this, *pnlSize, *pnlSizeRightDivider);
  Container = FindInstall();
  DM = FindDialogManager(dmBeforeInstall);
  Order = 50;
  loading.End();
}

TFileGroupSelectForm::~TFileGroupSelectForm() {
  // The views go before the image list they show and the lists that follow them.
  delete GroupTree;
  delete DriveList;
  IncludeList.reset();
  SizeList.reset();
  ImageList_Destroy(ilDriveSpace);
}

TFileContainer* TFileGroupSelectForm::SelectedGroup() const {
  fw::TTreeNode* node = GroupTree->Selected();
  return node ? static_cast<TFileContainer*>(node->Data) : nullptr;
}

void TFileGroupSelectForm::PreparePage() {
  PrepareButtons();
  FillTree();
  LayoutColumns();
  FillDriveList();
  ShowSelectedGroup();
  if (NextButton->CanFocus()) NextButton->SetFocus();
}

void TFileGroupSelectForm::LayoutColumns() {
  IncludeList->Layout();
  SizeList->Layout();
}

void TFileGroupSelectForm::ShowHorzScrollSpace() {
  GroupTree->SetHorzScrollBarAlways(true);
  const int bar = GetSystemMetrics(SM_CYHSCROLL);
  for (fw::TPanel* spacer : {pnlIncludeSpacer, pnlSizeSpacer}) {
    spacer->SetHeight(bar);
    spacer->SetVisible(true);
  }
  pnlIncludeBack->Realign();
  pnlSizeBack->Realign();
}

void TFileGroupSelectForm::FillTree() {
  TFileContainer& root = CheckedFileContainer(Container, GroupTree->Name());
  GroupTree->BeginUpdate();
  fw::TTreeNode* top = nullptr;
  try {
    GroupTree->Clear();
    std::function<void(TFileContainer&, fw::TTreeNode*)> addChildren = [&](TFileContainer& container,
                                                                           fw::TTreeNode* node) {
      for (TInstallContainer* child : container.Children())
        if (auto* group = dynamic_cast<TFileContainer*>(child))
          addChildren(*group, GroupTree->AddChild(node, translator::TranslateString(group->GroupName), group));
    };
    top = GroupTree->AddChild(nullptr, translator::TranslateString(root.GroupName), &root);
    addChildren(root, top);
    top->Expand(false);
  } catch (...) {
    GroupTree->EndUpdate();
    throw;
  }
  GroupTree->EndUpdate();
  ShowHorzScrollSpace();
  GroupTree->SetSelected(top);
}

void TFileGroupSelectForm::FillDriveList() {
  TFileContainer& root = CheckedFileContainer(Container, DriveList->Name());
  TDriveTable table(DriveFreeSpace);
  table.Fill(root);
  const std::string separator = fw::ThousandSeparator();
  const std::string bytes = translator::TranslateString("Bytes");
  DriveList->BeginUpdate();
  DriveList->Clear();
  for (const TDriveSpace& row : table.Rows())
    DriveList->AddItem({row.Letter,
                        {ByteCountText(row.Required, separator, bytes), ByteCountText(row.Available, separator, bytes)},
                        0,
                        row.Warns() ? 1 : -1});
  DriveList->EndUpdate();
  const int height = DrivePanelHeight(DriveList->Count());
  pnlDriveSpace->SetBounds(pnlDriveSpace->Left(), 314 - height, pnlDriveSpace->Width(), height);
}

void TFileGroupSelectForm::ShowSelectedGroup() {
  TFileContainer* group = SelectedGroup();
  if (!group) return;
  UpdatingScope updating(updating_);
  DirectoryLabel->SetText(group->GetDestDir());
  BrowseBtn->SetEnabled(group->AllowChangeDir);
  const bool lines = !group->Description.empty();
  pnlDescriptionMemo->SetVisible(lines);
  DescriptionMemo->SetVisible(lines);
  GroupDescLabel->SetVisible(lines);
  if (lines) {
    std::vector<std::string> shown = group->Description;
    if (translator::TTranslator* translator = translator::GlobalTranslator())
      translator->TranslateMemo(translator::plEnglish, group->Description, shown);
    std::string text;
    for (std::size_t i = 0; i < shown.size(); ++i) text += (i ? "\r\n" : "") + shown[i];
    DescriptionMemo->SetText(text);
  }
  if (fw::TApplication* application = fw::Application()) application->ProcessMessages();
  GroupTree->Repaint();
}

void TFileGroupSelectForm::IncludeClicked(TIncludeCheckBox& box) {
  if (box.Updating || !box.Group) return;
  box.Group->Include = box.Checked();
  // Only the sizes change: the other boxes show their own groups' choice.
  SizeList->Layout();
  ShowSelectedGroup();
  FillDriveList();
}

void TFileGroupSelectForm::Browse() {
  TFileContainer* group = SelectedGroup();
  if (!group) return;
  std::string chosen;
  if (BrowseForDestination(group->GetDestDir(), chosen)) {
    group->SetDestDirType(nullptr);
    group->SetDestDir(chosen);
  }
  ShowSelectedGroup();
  FillDriveList();
}

// --- TInstallFileGroupsDlg

TInstallFileGroupsDlg::TInstallFileGroupsDlg(fw::TComponent* owner) : TCustomBaseInstallDlg(owner) {
  Order = 50;
  SetDialogManager(FindDialogManager(dmBeforeInstall));
  RegisterPage();
}

TFormClass TInstallFileGroupsDlg::FormClass() const {
  return [](fw::TComponent* owner) { return new TFileGroupSelectForm(owner); };
}

void TInstallFileGroupsDlg::AssignDialogProperties() {
  TCustomBaseInstallDlg::AssignDialogProperties();
  PrepareShownPage();
}

bool TInstallFileGroupsDlg::ShowDialog() { return ShowWithContainer(Container() != nullptr); }

}  // namespace setup
