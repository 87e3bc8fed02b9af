#include "setup/product/product_form_win.h"

#include "setup/paths/path_specifiers.h"
#include "setup/product/capture_files_win.h"

namespace setup {

const char* const kLicenseLines[14] = {
    "     This program is licensed, not sold, to the shop that installs it. You may",
    "install it on the computers of one shop and make copies of it for backup.",
    "You may not sell, rent or lend the program, nor change or take it apart.",
    "The program collects the journal your cash register sends and keeps it in",
    "plain text files on this computer; keeping those files safe is up to you.",
    "The program is provided as it is, without any warranty of fitness for a",
    "particular purpose. The maker is not liable for any loss of data, profit",
    "or business that comes from using the program or from being unable to.",
    "Some places do not allow these limits; there they apply as far as the law",
    "allows. This licence ends when you break its terms; you then remove the",
    "program and every copy of it. By going on with the setup you accept these",
    "terms. Newer versions are offered for download on the maker's web site.",
    "",
    "                           www.ostrel-systems.example"};

const char* const kReadmeLines[5] = {
    "     Please read the owner's manual of your cash register for how to send its",
    "journal to this computer, and the help of the capture program for its settings.",
    "Updates and the newest manual are offered for download on the maker's web site.",
    "",
    "                        www.ostrel-systems.example"};

namespace {

// An advertising picture: a coloured card with two lines of text.
void DrawAdvert(fw::TBitmap& picture, fw::TColor background, const std::string& title,
                const std::string& text) {
  picture.SetSize(400, 270);
  fw::TCanvas& canvas = picture.Canvas();
  canvas.Brush.Color = background;
  canvas.FillRect(RECT{0, 0, 400, 270});
  canvas.Font.SetName("Arial");
  canvas.Font.SetColor(fw::clWhite);
  canvas.Font.SetHeight(-28);
  canvas.Font.SetStyle(fw::fsBold);
  canvas.TextRect(RECT{10, 60, 390, 130}, title, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  canvas.Font.SetHeight(-16);
  canvas.Font.SetStyle(0);
  canvas.TextRect(RECT{20, 140, 380, 240}, text, DT_CENTER | DT_WORDBREAK);
}

template <class Specifier>
Specifier* Standard() {
  return PathSpecifiers().FindSpecifier<Specifier>();
}

}  // namespace

TfrmVSixInstall::TfrmVSixInstall(fw::TComponent* owner) : fw::TForm(owner) {
  fw::FormLoading loading(*this);
  SetName("frmVSixInstall");
  SetCaption("Ostrel SYSTEMS PRESENTS");
  SetBounds(249, 170, 696, 485);
  Font().SetName("MS Sans Serif");
  Font().SetHeight(-11);

  // --- Decorations ---
  BackDrop = new TBackdrop(this);
  BackDrop->SetName("BackDrop");
  BackDrop->SetParent(this);
  BackDrop->SetTag(-1);
  BackDrop->SetBounds(0, 0, 688, 447);
  BackDrop->SetStartColor(16744576);
  BackDrop->SetTabOrder(1);
  ProductLabel = new TRotate3DLabel(this);
  ProductLabel->SetName("ProductLabel");
  ProductLabel->SetParent(BackDrop);
  ProductLabel->SetTag(-1);
  ProductLabel->SetAlign(fw::TAlign::alTop);
  ProductLabel->SetBounds(1, 1, 686, 65);
  ProductLabel->SetCaption("QUORVANE FOR Brask");
  ProductLabel->Font().SetName("Arial");
  ProductLabel->Font().SetHeight(-27);
  ProductLabel->Font().SetStyle(fw::fsBold);
  ProductLabel->Font().SetColor(fw::clBlack);
  ProductLabel->LabelStyle().SetAShadeLTSet(false);

  AdvertisePanel = new TAdvertisePanel(this);
  AdvertisePanel->SetName("AdvertisePanel");
  AdvertisePanel->SetParent(this);
  AdvertisePanel->SetTag(-1);
  AdvertisePanel->SetBounds(131, 50, 400, 270);
  AdvertisePanel->SetTabOrder(0);
  AdvertisePanel->Behavior.IncrementTime = 1000;
  AdvertisePanel->Behavior.SetRelativeHeight(-1);
  AdvertisePanel->Behavior.SetRelativeWidth(-1);
  AdvertisePanel->Behavior.SetVerticalCenter(35);
  struct Sheet {
    const char* name;
    const char* image;
    fw::TColor colour;
    const char* title;
    const char* text;
  };
  for (const Sheet& sheet :
       {Sheet{"TabSheet1", "Image1", 0x7F3F00, "Quorvane for Brask",
              "Every line of your register's journal, kept safe on this computer."},
        Sheet{"TabSheet", "Image", 0x2F6F1F, "Find any sale",
              "Search the journal files and print what you found."}}) {
    auto* page = new fw::TPanel(this);
    page->SetName(sheet.name);
    page->SetCaption("");
    auto* image = new fw::TImage(this);
    image->SetName(sheet.image);
    image->SetParent(page);
    image->SetAlign(fw::TAlign::alClient);
    image->SetStretch(true);
    DrawAdvert(image->Picture(), sheet.colour, sheet.title, sheet.text);
    AdvertisePanel->AddPage(page);
  }
  loading.Refer("Install1", [this](fw::TComponent* install) {
    AdvertisePanel->SetContainer(dynamic_cast<TInstallContainer*>(install));
  });
  // The second sheet is the one shown first.
  AdvertisePanel->SetActivePage(1);

  // --- The install ---
  Install1 = new TInstall(this);
  Install1->SetName("Install1");
  Install1->Tag = 1;
  Install1->BuildInfo.BuildDirectory = kProductSourceFolder;
  Install1->BuildInfo.OCXName = "pbsetup";
  Install1->BuildInfo.SignCode = false;
  Install1->SetDestDir("\\OSTREL SYSTEMS\\QUORVANE");
  Install1->SetDestDirType(Standard<TpsProgramFiles>());
  Install1->GroupName = "Main";
  Install1->SetHideMainForm(false);
  Install1->Information.CompanyName = "Ostrel SYSTEMS";
  Install1->Information.ProductName = "QUORVANE";
  Install1->Information.Version = "1.0";
  Install1->SetInstallTypes(InstallTypeSet({itFull}));
  Install1->Reboot = false;
  Install1->SetUseLoadingProgram(true);
  Install1->OnAfterInstallObjects = [this](TInstallContainer* container, bool wasAborted) {
    ChangeFileType(container, wasAborted);
  };
  loading.Refer("NetLocation", [this](fw::TComponent* location) { Install1->SetNetLocation(location); });

  MainTranslator = new translator::TTranslator(this);
  MainTranslator->SetName("MainTranslator");
  for (translator::TLanguage* language : MainTranslator->Languages()) {
    language->Font.Name = "MS Sans Serif";
    language->Font.Size = 8;  // a height of -11 pixels at 96 pixels per inch
    language->Font.Charset = 0;
    language->FontOverride = false;
  }

  auto* containerArchive = Standard<TpsContainerArchiveFile>();
  auto* containerDest = Standard<TpsContainerDestDir>();
  const auto placeFile = [&](TInstallFile* file, const char* name, TInstallContainer* container, int order,
                             const char* fileName, int uniqueID) {
    file->SetName(name);
    file->SetContainer(container);
    file->SetOrder(order);
    file->SetArchiveFileType(containerArchive);
    file->SetDestDirType(containerDest);
    file->FileName = fileName;
    file->DestName = fileName;
    file->IncludeFromDir = kProductSourceFolder;
    file->SetUniqueID(uniqueID);
  };
  UninstallEXE = new TUninstallEXE(this);
  placeFile(UninstallEXE, "UninstallEXE", Install1, 0, "uninstall.exe", 0);

  const auto placeGroup = [&](TInstallFileGroup* group, const char* name, int order, const char* groupName,
                              const char* description) {
    group->SetName(name);
    group->SetContainer(Install1);
    group->SetOrder(order);
    group->Tag = 1;
    group->SetArchiveFileType(containerArchive);
    group->SetDestDirType(containerDest);
    group->GroupName = groupName;
    group->Description = {description};
  };
  FileGroup = new TInstallFileGroup(this);
  placeGroup(FileGroup, "FileGroup", 0, "Capture Program",
             "This will install the program that collects your cash register's journal.");
  FileGroup1 = new TInstallFileGroup(this);
  placeGroup(FileGroup1, "FileGroup1", 1, "Help Files", "This will install the help files.");

  InstallFile6 = new TInstallFile(this);
  placeFile(InstallFile6, "InstallFile6", FileGroup, 0, "Quorvane - Brask.exe", 9);
  InstallFile = new TInstallFile(this);
  placeFile(InstallFile, "InstallFile", FileGroup1, 0, "QUORVANE.HLP", 2);
  InstallFile->RegisterAsHelp = true;
  InstallFile1 = new TInstallFile(this);
  placeFile(InstallFile1, "InstallFile1", FileGroup1, 1, "QUORVANE.CNT", 3);
  InstallFile1->RegisterAsHelp = true;

  // --- Shortcuts ---
  MainFolder = new TMainLinkGroup(this);
  MainFolder->SetName("MainFolder");
  MainFolder->SetContainer(Install1);
  MainFolder->SetDestDir("\\OSTREL SYSTEMS");
  const auto placeLink = [&](TCustomInstallShellLink* link, const char* name, const char* linkName,
                             TInstallContainer* target) {
    link->SetName(name);
    link->SetLinkName(linkName);
    link->SetObjectLink(target);
    link->SetObjectLocationType(Standard<TpsObjectLink>());
    link->HotKey = 0;
  };
  InstallMainLink = new TInstallMainLink(this);
  placeLink(InstallMainLink, "InstallMainLink", "Quorvane Brask.LNK", InstallFile6);
  InstallMainLink1 = new TInstallMainLink(this);
  placeLink(InstallMainLink1, "InstallMainLink1", "Uninstall Quorvane.LNK", UninstallEXE);
  InstallShellLink = new TInstallShellLink(this);
  InstallShellLink->SetContainer(Install1);
  InstallShellLink->SetDestDirType(Standard<TpsDesktopMenu>());
  placeLink(InstallShellLink, "InstallShellLink", "Quorvane Brask.LNK", InstallFile6);

  NetLocation = new TNetInstallLocation(this);
  NetLocation->SetName("NetLocation");
  // Never contacted: the product is distributed on disk.
  NetLocation->LoginInformation().Hostname = "www.ostrel-systems.example";

  // --- The wizard ---
  const auto placeManager = [&](const char* name, TManagerType type) {
    auto* manager = new TDialogManager(this);
    manager->SetName(name);
    manager->SetContainer(Install1);
    manager->ManagerType = type;
    manager->RelativeLeftOffset = 0;
    manager->RelativeTopOffset = 0;
    return manager;
  };
  TDialogManager* before = placeManager("DialogManager", dmBeforeInstall);
  TDialogManager* good = placeManager("DialogManager1", dmAfterGoodInstall);
  TDialogManager* bad = placeManager("DialogManager2", dmAfterBadInstall);
  TDialogManager* copying = placeManager("DialogManager3", dmDuringCopyFiles);
  TDialogManager* disk = placeManager("DialogManager4", dmChangeDisk);
  TDialogManager* reboot = placeManager("DialogManager5", dmReboot);

  const auto placeDialog = [&](TCustomBaseInstallDlg* dialog, const char* name, TDialogManager* manager,
                               int order, bool inInstall) {
    dialog->SetName(name);
    dialog->OverrideMainTranslator = false;
    if (inInstall) dialog->SetContainer(Install1);
    if (manager) dialog->SetDialogManager(manager);
    dialog->Order = order;
  };
  auto* welcome = new TWelcomeDlg(this);
  placeDialog(welcome, "WelcomeDlg", before, 10, true);
  auto* license = new TLicenseDlg(this);
  placeDialog(license, "LicenseDlg", before, 20, true);
  license->LicenseAgreement.assign(std::begin(kLicenseLines), std::end(kLicenseLines));
  auto* readme = new TReadmeDlg(this);
  placeDialog(readme, "ReadmeDlg", before, 30, true);
  readme->ReadmeText.assign(std::begin(kReadmeLines), std::end(kReadmeLines));
  placeDialog(new TInstallTypeDlg(this), "InstallTypeDlg", before, 40, true);
  placeDialog(new TInstallFileGroupsDlg(this), "InstallFileGroupsDlg", before, 50, true);
  auto* selectFolder = new TSelectFolderDlg(this);
  // No folder of its own: it edits the main shortcut folder made above.
  placeDialog(selectFolder, "SelectFolderDlg", before, 60, false);
  auto* copy = new TCopyFileDlg(this);
  placeDialog(copy, "CopyFileDlg", copying, 0, true);
  copy->RelativeLeftOffset = 0;
  placeDialog(new TInstallStatusDlg(this), "InstallStatusDlg", nullptr, 0, true);
  placeDialog(new TGoodInstallationDlg(this), "GoodInstallationDlg", good, 10, true);
  placeDialog(new TBadInstallationDlg(this), "BadInstallationDlg", bad, 10, true);
  placeDialog(new TChangeDiskDlg(this), "ChangeDiskDlg", disk, 0, true);
  placeDialog(new TRebootDlg(this), "RebootDlg", reboot, 10, true);
  loading.End();
}

void TfrmVSixInstall::ChangeFileType(TInstallContainer* container, bool wasAborted) {
  setup::ChangeFileType(container, wasAborted);
}

}  // namespace setup
