// The setup module's start-up alone, as the program runs it, in a process
// that initialises no COM itself and never activates a window.
#include "setup/program/startup_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "framework/modules.h"
#include "setup/shell/shell_links_win.h"
#include "setup/translator/translator.h"

namespace setup {
namespace {

class Startup : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    AddSetupModule();
    fw::Modules().InitializeAll();
  }
  static void TearDownTestSuite() { fw::Modules().FinalizeAll(); }
};

TEST_F(Startup, ShortcutsCanBeSaved) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  ShellLinkData link;
  link.Target = "C:\\windows\\notepad.exe";
  link.ObjectName = "L1";
  link.LinkPath = std::string(temp) + "startup module.lnk";
  DeleteFileA(link.LinkPath.c_str());
  EXPECT_NO_THROW(SaveShellLinkFile(link));
  EXPECT_NE(GetFileAttributesA(link.LinkPath.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileA(link.LinkPath.c_str());
}

// Letters beyond A to Z fold as the system folds them.
TEST_F(Startup, TextsAreFoundAsTheSystemComparesThem) {
  translator::TTranslator translator(nullptr);
  translator.Language(translator::plEnglish).Strings().Add("10;Caf\xE9 ouvert");
  translator.Language(translator::plFrench).Strings().Add("10;Bistro");
  translator.SetTranslateIntoLanguage(translator::plFrench);
  EXPECT_EQ(translator.TranslateText(translator::plEnglish, "CAF\xC9 OUVERT"), "Bistro");
  EXPECT_EQ(translator.TranslateText(translator::plEnglish, "CAFE OUVERT"), "CAFE OUVERT");
}

}  // namespace
}  // namespace setup
