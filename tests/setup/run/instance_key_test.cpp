// The installer's instance key: found again by date and size, new for a
// changed program, and removed with the parents it leaves empty.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/install/install_rules.h"
#include "tests/support/memory_registry.h"

namespace {

using namespace setup;
using setup::test_support::MemoryRegistry;

InstallerIdentity Program(double date, std::int32_t size) {
  InstallerIdentity identity;
  identity.Path = "C:\\Temp\\setup.exe";
  identity.FileDate = date;
  identity.Size = size;
  return identity;
}

TEST(InstanceKey, TheSameProgramFindsItsKeyAChangedOneGetsTheFirstFreeNumber) {
  MemoryRegistry registry;
  EXPECT_EQ(OpenInstanceKey(registry, Program(45000.5, 1000), 46000.0, false), "") << "nothing without create";
  const std::string first = OpenInstanceKey(registry, Program(45000.5, 1000), 46000.0, true);
  EXPECT_EQ(first, "\\SOFTWARE\\Pembrin\\Install\\Install0");
  EXPECT_EQ(registry.Text(kLocalMachine, first, "Path"), "C:\\Temp\\setup.exe");
  EXPECT_EQ(registry.Text(kLocalMachine, first, "Size"), "#1000");

  // Within 1e-7 of the date and of the same size: the same key, its run date
  // brought up to date.
  InstallerIdentity moved = Program(45000.5 + 5e-8, 1000);
  moved.Path = "D:\\setup.exe";
  // (the memory registry lists key names in upper case)
  EXPECT_EQ(MemoryRegistry::Path(OpenInstanceKey(registry, moved, 46001.0, false)), MemoryRegistry::Path(first));
  EXPECT_EQ(registry.Text(kLocalMachine, first, "Path"), "D:\\setup.exe");
  EXPECT_EQ(registry.Text(kLocalMachine, first, "LastRunDate"), "@" + std::to_string(46001.0));

  for (const auto& changed : {Program(45000.5 + 2e-7, 1000), Program(45000.5, 1001)})
    EXPECT_EQ(OpenInstanceKey(registry, changed, 46000.0, false), "");
  EXPECT_EQ(OpenInstanceKey(registry, Program(45000.5, 1001), 46000.0, true),
            "\\SOFTWARE\\Pembrin\\Install\\Install1");
  RemoveInstanceKey(registry, first, nullptr);
  EXPECT_EQ(OpenInstanceKey(registry, Program(1.0, 1), 46000.0, true), "\\SOFTWARE\\Pembrin\\Install\\Install0")
      << "a freed number is taken again";
}

TEST(InstanceKey, SelfExtractIsTheLoaderFolderAndTheProgramName) {
  EXPECT_EQ(SelfExtractValue("C:\\My Build", "setup.exe"), "C:\\My Build\\setup.exe");
  EXPECT_EQ(SelfExtractValue("A:\\", "setup.exe"), "A:\\setup.exe");
  MemoryRegistry registry;
  InstallerIdentity program = Program(2.0, 2);
  program.HasSelfExtract = true;
  program.SelfExtract = "C:\\My Build\\setup.exe";
  const std::string key = OpenInstanceKey(registry, program, 3.0, true);
  EXPECT_EQ(registry.Text(kLocalMachine, key, "SelfExtract"), "C:\\My Build\\setup.exe");
}

TEST(InstanceKey, RemovalDeletesDownloadsAndTheParentsLeftEmpty) {
  MemoryRegistry registry;
  const std::string key = OpenInstanceKey(registry, Program(1.0, 1), 2.0, true);
  RegWriteString(registry, kLocalMachine, key + "\\FileGroup", "LocalFile", "C:\\Temp\\bat1.1");
  RegWriteString(registry, kLocalMachine, key + "\\Blank", "LocalFile", " ");
  std::vector<std::string> deleted;
  RemoveInstanceKey(registry, key, [&](const std::string& path) { deleted.push_back(path); });
  EXPECT_EQ(deleted, std::vector<std::string>{"C:\\Temp\\bat1.1"});
  EXPECT_EQ(registry.Find(kLocalMachine, "\\SOFTWARE\\Pembrin\\Install"), nullptr);
  EXPECT_EQ(registry.Find(kLocalMachine, "\\SOFTWARE\\Pembrin"), nullptr);

  // Another installer's key keeps the parents.
  const std::string mine = OpenInstanceKey(registry, Program(1.0, 1), 2.0, true);
  OpenInstanceKey(registry, Program(5.0, 5), 2.0, true);
  RemoveInstanceKey(registry, mine, nullptr);
  EXPECT_NE(registry.Find(kLocalMachine, "\\SOFTWARE\\Pembrin\\Install"), nullptr);
}

}  // namespace
