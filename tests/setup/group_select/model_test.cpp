#include "setup/group_select/model.h"

#include <gtest/gtest.h>

#include "setup/paths/path_specifiers.h"
#include "tests/setup/install/install_test_support.h"

namespace setup {
namespace {

using test_support::StandInFile;
using test_support::StandInInstall;

class GroupModel : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureStandardSpecifiers(&form);
    install = new StandInInstall(&form);
    install->SetDestDirType(nullptr);
    install->SetDestDir("C:\\Program Files\\Tallimo");
    // The installer has no files of its own.
    core = Group("Core", install, "C:\\Program Files\\Tallimo\\bin", {1000});
    help = Group("Help", install, "c:\\Program Files\\Tallimo\\help", {2000, 500});
    extras = Group("Extras", install, "D:\\Extras", {});
  }
  TInstallFileGroup* Group(const std::string& name, TInstallContainer* container, const std::string& dir,
                           std::initializer_list<std::int32_t> sizes) {
    auto* group = new TInstallFileGroup(&form);
    group->SetName(name);
    group->SetContainer(container);
    group->SetDestDirType(nullptr);
    group->SetDestDir(dir);
    for (std::int32_t size : sizes) (new StandInFile(&form, size))->SetContainer(group);
    return group;
  }
  // Letter, required and available of each row, as the page writes them.
  std::vector<std::string> Rows() {
    TDriveTable table([this](char letter) {
      asked += letter;
      return letter == 'D' ? std::int64_t{5'000'000'000} : std::int64_t{2'500};
    });
    table.Fill(*install);
    std::vector<std::string> rows;
    for (const TDriveSpace& row : table.Rows())
      rows.push_back(row.Letter + " " + ByteCountText(row.Required, ",", "Bytes") + " / " +
                     ByteCountText(row.Available, ",", "Bytes") + (row.Warns() ? " !" : ""));
    return rows;
  }

  fw::TComponent form{nullptr};
  StandInInstall* install = nullptr;
  TInstallFileGroup *core = nullptr, *help = nullptr, *extras = nullptr;
  std::string asked;
};

TEST_F(GroupModel, DriveRowsOfTheSelectedGroupsInTheOrderMet) {
  EXPECT_EQ(Rows(), (std::vector<std::string>{"C 3,500 Bytes / 2,500 Bytes !",
                                              "D 0 Bytes / 5,000,000,000 Bytes"}));
  EXPECT_EQ(asked, "CD");  // each drive is asked once
}

TEST_F(GroupModel, AnUncheckedGroupTakesItsSubgroupsOutOfTheRowsButKeepsItsSize) {
  auto* samples = Group("Samples", help, "E:\\Samples", {700});
  Group("Deeper", samples, "C:\\Deeper", {40});
  EXPECT_EQ(Rows(), (std::vector<std::string>{"C 3,540 Bytes / 2,500 Bytes !", "E 700 Bytes / 2,500 Bytes",
                                              "D 0 Bytes / 5,000,000,000 Bytes"}));
  help->Include = false;
  // Help's own drive keeps its row with nothing added; E is gone.
  EXPECT_EQ(Rows(), (std::vector<std::string>{"C 1,000 Bytes / 2,500 Bytes", "D 0 Bytes / 5,000,000,000 Bytes"}));
  EXPECT_EQ(SelectedSize(*help), 2500 + 700 + 40);  // its label still shows what it holds
  EXPECT_EQ(OwnSize(*help), 2500);
  samples->Include = false;
  EXPECT_EQ(SelectedSize(*help), 2500);
  // A file outside the current install type is not selected.
  auto* fullOnly = new StandInFile(&form, 300);
  fullOnly->SetContainer(core);
  fullOnly->SetInstallTypes(InstallTypeSet({itFull}));
  install->SetCurrentInstallType(itCompact);
  EXPECT_EQ(OwnSize(*core), 1000);
}

TEST_F(GroupModel, NetworkAndBlankDestinationsAddNoRow) {
  for (const char* dir : {"\\\\server\\share\\tallimo", "", "\\Tallimo"}) {
    SCOPED_TRACE(dir);
    extras->SetDestDir(dir);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"C 3,500 Bytes / 2,500 Bytes !"}));
  }
}

TEST_F(GroupModel, FreeSpaceIn64BitsAndAFailedQueryWarns) {
  // 80.5 GB free: the signed 32-bit product would be negative.
  EXPECT_EQ(FreeSpaceBytes(8, 512, 21'000'000), std::int64_t{86'016'000'000});
  EXPECT_EQ(FreeSpaceBytes(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF), INT64_MAX);
  EXPECT_EQ(FreeSpaceBytes(0, 512, 100), 0);
  TDriveTable table([](char letter) { return letter == 'C' ? FreeSpaceBytes(8, 512, 21'000'000) : -1; });
  table.Fill(*install);
  ASSERT_EQ(table.Rows().size(), 2u);
  EXPECT_FALSE(table.Rows()[0].Warns());  // above 4 GB, no warning
  EXPECT_EQ(ByteCountText(table.Rows()[0].Available, ",", "Bytes"), "86,016,000,000 Bytes");
  EXPECT_TRUE(table.Rows()[1].Warns());
  EXPECT_EQ(ByteCountText(table.Rows()[1].Available, ",", "Bytes"), "-1 Bytes");
  // Required equal to available warns too.
  EXPECT_TRUE((TDriveSpace{"C", 10, 10}.Warns()));
}

TEST_F(GroupModel, TheTableHoldsAtMostTwentyFiveDrives) {
  int asks = 0;
  TDriveTable table([&](char) { return ++asks, std::int64_t{1}; });
  for (char letter = 'A'; letter <= 'Z'; ++letter) EXPECT_EQ(table.Add(letter, 1), letter != 'Z') << letter;
  EXPECT_TRUE(table.Add('C', 5));  // a letter already there still adds
  ASSERT_EQ(table.Rows().size(), 25u);
  EXPECT_EQ(table.Rows()[2].Required, 6);
  EXPECT_EQ(asks, 25);
}

TEST(GroupModelLayout, PanelHeightsAndByteTexts) {
  const int heights[][2] = {{0, 25}, {1, 43}, {2, 61}, {3, 61}, {25, 61}};
  for (const auto& h : heights) EXPECT_EQ(DrivePanelHeight(h[0]), h[1]) << h[0];
  EXPECT_EQ(ByteCountText(3500, ",", "Bytes"), "3,500 Bytes");
  EXPECT_EQ(ByteCountText(0, ",", "Bytes"), "0 Bytes");
  EXPECT_EQ(ByteCountText(1234567, ".", "Octets"), "1.234.567 Octets");
}

TEST_F(GroupModel, ThePageSkipsUnlessCustomOrAlways) {
  const struct {
    TInstallType type;
    bool skips;
  } cases[] = {{itFull, true}, {itDefault, true}, {itCompact, true}, {itCustom, false}, {itAlways, false}};
  for (const auto& c : cases) {
    install->SetCurrentInstallType(c.type);
    EXPECT_EQ(FileGroupPageSkips(install), c.skips) << int{c.type};
  }
  EXPECT_TRUE(FileGroupPageSkips(nullptr));
}

TEST_F(GroupModel, TheContainerMustBeAFileContainer) {
  EXPECT_EQ(&CheckedFileContainer(install, ""), install);
  try {
    CheckedFileContainer(nullptr, "");
    FAIL();
  } catch (const IEFileGroupSelectForm& e) {
    EXPECT_EQ(e.Message(), "Cannot show the install file groups dialog for blank container property");
  }
  TInstallContainer plain(&form);
  try {
    CheckedFileContainer(&plain, "");
    FAIL();
  } catch (const IEFileGroupSelectForm& e) {
    EXPECT_EQ(e.Message(), "Container is not a TFileContainer for ");
  }
}

TEST(GroupModelLayout, OverlaidRowsSkipHiddenAndAboveAndStopBelow) {
  const std::vector<TTreeRow> rows = {
      {true, -18, 0},   // scrolled out above
      {false, 0, 0},    // inside a collapsed node
      {true, 0, 18},    {true, 18, 36}, {false, 0, 0}, {true, 90, 108},
      {true, 108, 126},  // below the tree's height: the walk stops here
      {true, 40, 58},
  };
  EXPECT_EQ(OverlaidRows(rows, 100), (std::vector<int>{2, 3, 5}));
  EXPECT_EQ(OverlaidRows(rows, 108), (std::vector<int>{2, 3, 5, 6, 7}));
  EXPECT_TRUE(OverlaidRows({}, 100).empty());
}

}  // namespace
}  // namespace setup
