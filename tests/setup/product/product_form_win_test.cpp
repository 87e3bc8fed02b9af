// The product's form as it stands once its description has loaded, never
// shown (the install starts only at the form's first activation): the
// install's children in the order they are processed, the install type, the
// wizard's texts, the references resolved after every component existed,
// and the picture of the pages.
#include "setup/product/product_form_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/run/install_run_win.h"
#include "setup/shell/select_folder_win.h"
#include "setup/wizard/wizard_win.h"

namespace setup {
namespace {

class ProductForm : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ConnectSetupProgram(); }
  void SetUp() override {
    arguments_ = RunSeams().Arguments;
    // No -b, -f or -r: loading the form must leave the install waiting.
    RunSeams().Arguments = [] { return std::vector<std::string>{}; };
    form = new TfrmVSixInstall(nullptr);
  }
  void TearDown() override {
    delete form;
    RunSeams().Arguments = arguments_;
  }
  template <class T>
  T* Component(const std::string& name) const {
    auto* found = dynamic_cast<T*>(form->FindComponent(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  TfrmVSixInstall* form = nullptr;

 private:
  decltype(InstallRunSeams::Arguments) arguments_;
};

TEST_F(ProductForm, TheInstallProcessesItsObjectsByTypeThenItsWizard) {
  struct Child {
    const char* name;
    int registeredType;
  };
  const std::vector<Child> expected = {
      {"FileGroup", rtFileContainer},
      {"FileGroup1", rtFileContainer},
      {"UninstallEXE", rtFile},
      {"MainFolder", rtShortcutFolder},
      {"InstallShellLink", rtShortcut},
      {"DialogManager", rtDialog},
      {"DialogManager1", rtDialog},
      {"DialogManager2", rtDialog},
      {"DialogManager3", rtDialog},
      {"DialogManager4", rtDialog},
      {"DialogManager5", rtDialog},
      {"WelcomeDlg", rtDialog},
      {"LicenseDlg", rtDialog},
      {"ReadmeDlg", rtDialog},
      {"InstallTypeDlg", rtDialog},
      {"InstallFileGroupsDlg", rtDialog},
      {"CopyFileDlg", rtDialog},
      {"InstallStatusDlg", rtDialog},
      {"GoodInstallationDlg", rtDialog},
      {"BadInstallationDlg", rtDialog},
      {"ChangeDiskDlg", rtDialog},
      {"RebootDlg", rtDialog},
      // The advertising panel follows the copy through a listener of its
      // own, which joins the install when the panel's reference to it is
      // resolved at the end of loading.
      {"AdvertisePanel's TGrabCall", rtDialog},
  };
  std::vector<std::string> names, expectedNames;
  std::vector<int> types, expectedTypes;
  for (const TInstallContainer* child : form->Install1->Children()) {
    // A helper without a name of its own is known by its owner.
    names.push_back(child->Name().empty() ? child->Owner()->Name() + "'s " + child->ClassName() : child->Name());
    types.push_back(child->RegisteredType());
  }
  for (const Child& child : expected) {
    expectedNames.push_back(child.name);
    expectedTypes.push_back(child.registeredType);
  }
  EXPECT_EQ(names, expectedNames);
  EXPECT_EQ(types, expectedTypes);
  // The files sit in their groups, the main links in the main folder.
  const auto childNames = [](const TInstallContainer* parent) {
    std::vector<std::string> list;
    for (const TInstallContainer* child : parent->Children()) list.push_back(child->Name());
    return list;
  };
  EXPECT_EQ(childNames(form->FileGroup), std::vector<std::string>{"InstallFile6"});
  EXPECT_EQ(childNames(form->FileGroup1), (std::vector<std::string>{"InstallFile", "InstallFile1"}));
  // The program-folder page's component edits the main folder and sits in it.
  EXPECT_EQ(childNames(form->MainFolder),
            (std::vector<std::string>{"InstallMainLink", "InstallMainLink1", "SelectFolderDlg"}));
}

TEST_F(ProductForm, EverythingIsInstalledWithTheOnlyTypeFull) {
  EXPECT_EQ(form->Install1->InstallTypes(), InstallTypeSet({itFull}));
  EXPECT_EQ(form->Install1->CurrentInstallType(), itFull);
  for (TInstallContainer* object : {static_cast<TInstallContainer*>(form->FileGroup),
                                    static_cast<TInstallContainer*>(form->FileGroup1),
                                    static_cast<TInstallContainer*>(form->UninstallEXE),
                                    static_cast<TInstallContainer*>(form->InstallFile6)})
    EXPECT_TRUE(object->IsIncluded()) << object->Name();
}

TEST_F(ProductForm, TheInstallKeepsTheBuildMachinesFolder) {
  TBuildInfo expected;
  expected.BuildDirectory = kProductSourceFolder;
  EXPECT_EQ(form->Install1->BuildInfo, expected);
}

// Leading blanks of a line that has text after them; -1 for a line without.
int Indent(const std::string& line) {
  const size_t text = line.find_first_not_of(' ');
  return text == std::string::npos ? -1 : static_cast<int>(text);
}

TEST_F(ProductForm, TheLicenceAndReadmeEndWithTheMakersAddressIndented) {
  auto* license = Component<TLicenseDlg>("LicenseDlg");
  auto* readme = Component<TReadmeDlg>("ReadmeDlg");
  ASSERT_TRUE(license && readme);
  struct Text {
    const char* what;
    const std::vector<std::string>& lines;
    size_t count;
    int addressIndent;
  };
  for (const Text& text : {Text{"licence", license->LicenseAgreement, 14, 27},
                           Text{"readme", readme->ReadmeText, 5, 24}}) {
    SCOPED_TRACE(text.what);
    ASSERT_EQ(text.lines.size(), text.count);
    EXPECT_EQ(Indent(text.lines.front()), 5) << text.lines.front();
    for (size_t i = 1; i + 2 < text.count; ++i) EXPECT_EQ(Indent(text.lines[i]), 0) << text.lines[i];
    EXPECT_EQ(text.lines[text.count - 2], "");
    const std::string& address = text.lines.back();
    EXPECT_EQ(Indent(address), text.addressIndent) << address;
    EXPECT_EQ(address.substr(text.addressIndent).find(' '), std::string::npos) << address;
  }
  // One address for both.
  EXPECT_EQ(license->LicenseAgreement.back().substr(27), readme->ReadmeText.back().substr(24));
}

TEST_F(ProductForm, ReferencesToComponentsMadeLaterAreResolved) {
  auto* selectFolder = Component<TSelectFolderDlg>("SelectFolderDlg");
  ASSERT_NE(selectFolder, nullptr);
  // Made after the main shortcut folder, the program-folder page edits it.
  EXPECT_EQ(selectFolder->GetContainer(), form->MainFolder);
  EXPECT_EQ(form->AdvertisePanel->Container(), form->Install1);
  EXPECT_EQ(form->Install1->NetLocation(), form->NetLocation);
  EXPECT_NE(form->NetLocation, nullptr);
  EXPECT_EQ(MainNetLocation(), form->NetLocation) << "the install's location is the process's main one";
}

TEST_F(ProductForm, ThePagesShowTheProgramsPicture) {
  fw::TBitmap& theme = form->Install1->DialogThemeBitmap();
  EXPECT_EQ(theme.Width(), 117);
  EXPECT_EQ(theme.Height(), 290);
}

TEST_F(ProductForm, LoadingLeavesTheFormHiddenAndTheInstallWaiting) {
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(form->Install1->Running());
  EXPECT_EQ(static_cast<int>(form->Install1->CommandLine().Flags), 0);
  EXPECT_EQ(form->Install1->ExitCode(), 0);
  // The run is hooked to the first activation.
  EXPECT_TRUE(static_cast<bool>(form->OnActivate));
}

}  // namespace
}  // namespace setup
