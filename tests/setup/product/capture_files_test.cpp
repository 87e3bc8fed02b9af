// The renaming of earlier capture files over a folder that notes what it is
// asked: one listing before any rename, then the renames of the files whose
// upper-cased name holds ".CAP", with the source named in upper case.
#include "setup/product/capture_files.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

class NotingFolder : public FolderFiles {
 public:
  std::vector<FolderEntry> entries;
  std::vector<std::string> journal;
  std::vector<FolderEntry> List(const std::string& pattern) override {
    journal.push_back("list " + pattern);
    return entries;
  }
  bool Rename(const std::string& from, const std::string& to) override {
    journal.push_back(from + " -> " + to);
    return false;
  }
};

TEST(CaptureFiles, ListedOnceThenEachCaptureFileRenamedWhateverTheOutcome) {
  NotingFolder folder;
  folder.entries = {{".", true},         {"..", true},        {"LOG1.CAP", false},
                    {"OLD.CAPX", false}, {"log2.cap", false}, {"X.CAP", true},
                    {"A.TXT", false},    {"B.CAP", false},    {"NO.CA", false}};
  RenameCaptureFiles(folder, "C:\\Fixture\\");
  EXPECT_EQ(folder.journal, (std::vector<std::string>{
                                "list C:\\Fixture\\*.*",
                                "C:\\Fixture\\LOG1.CAP -> C:\\Fixture\\LOG1.txt",
                                "C:\\Fixture\\OLD.CAPX -> C:\\Fixture\\OLD.Ctxt",
                                "C:\\Fixture\\LOG2.CAP -> C:\\Fixture\\LOG2.txt",
                                "C:\\Fixture\\B.CAP -> C:\\Fixture\\B.txt",
                            }));
}

}  // namespace
}  // namespace setup
