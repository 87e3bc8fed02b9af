// A destination in use, through the archive's own extraction over disks in
// memory: the old file stays whole and the new one waits beside it.
#include "setup/install/file_replace.h"

#include <gtest/gtest.h>

#include "setup/archive/memory_disks.h"
#include "setup/archive/pmbr_compress.h"
#include "setup/base/exceptions.h"
#include "tests/setup/archive/rule_versions.h"

namespace setup {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

class InUseExtraction : public ::testing::Test {
 protected:
  void SetUp() override {
    disks.PutFile("C:\\src\\Quorvane - Brask.exe", Bytes("new program"), 40000.0);
    TPmbrCompress packer(nullptr, disks, versions, nullptr);
    packer.SetCompressedFile("C:\\dist\\files.1");
    std::vector<std::string> list = {"C:\\src\\Quorvane - Brask.exe"};
    packer.SetFilesToProcess(list);
    packer.AddFiles(false, 0);
    disks.PutFile(kDestination, Bytes("old program"), 30000.0);
  }

  void Extract(ArchiveFileSystem& files) {
    TPmbrCompress archive(nullptr, files, versions, nullptr);
    archive.SetCompressedFile("C:\\dist\\files.1");
    archive.ExtractDirectory = "C:\\App";
    std::vector<std::string> list = {"C:\\src\\Quorvane - Brask.exe"};
    archive.SetFilesToProcess(list);
    archive.ExtractFiles();
  }

  const std::string kDestination = "C:\\App\\Quorvane - Brask.exe";
  MemoryDisks disks;
  archive_test::RuleVersions versions{disks};
};

TEST_F(InUseExtraction, AFreeDestinationIsReplacedInPlace) {
  InUseRedirectFiles files(disks);
  Extract(files);
  EXPECT_EQ(disks.FileBytes(kDestination), Bytes("new program"));
  EXPECT_TRUE(files.Redirected().empty());
}

TEST_F(InUseExtraction, ADestinationInUseGetsTheNextFreeNumber) {
  disks.PutFile("C:\\App\\Quorvane - Brask.1", Bytes("left from before"));
  disks.RefuseRename = [&](const std::string&, const std::string& to) { return to == kDestination; };
  InUseRedirectFiles files(disks);
  Extract(files);
  EXPECT_EQ(disks.FileBytes(kDestination), Bytes("old program"));
  EXPECT_EQ(disks.FileBytes("C:\\App\\Quorvane - Brask.1"), Bytes("left from before"));
  EXPECT_EQ(disks.FileBytes("C:\\App\\Quorvane - Brask.2"), Bytes("new program"));
  ASSERT_EQ(files.Redirected().size(), 1u);
  EXPECT_EQ(files.Redirected()[0].Destination, kDestination);
  EXPECT_EQ(files.Redirected()[0].NewFile, "C:\\App\\Quorvane - Brask.2");
  // Nothing half-written stays behind.
  for (const std::string& name : disks.FileNames()) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

TEST_F(InUseExtraction, AMissingDestinationThatCannotBeWrittenStaysAnError) {
  disks.Delete(kDestination);
  disks.RefuseRename = [](const std::string&, const std::string&) { return true; };
  InUseRedirectFiles files(disks);
  EXPECT_THROW(Extract(files), EPmbrCompress);
  EXPECT_FALSE(disks.Exists(kDestination));
  EXPECT_TRUE(files.Redirected().empty());
}

}  // namespace
}  // namespace setup
