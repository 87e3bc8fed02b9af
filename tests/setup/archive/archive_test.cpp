// The installer archive on in-memory disks: the shared cases, the pinned
// format, the edge cases and the messages.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/setup/archive/archive_cases.h"
#include "tests/setup/archive/memory_world.h"

namespace archive_test {
namespace {

INSTANTIATE_TYPED_TEST_SUITE_P(InMemory, ArchiveCases, MemoryWorld);

// The expected bytes, written field by field independently of the encoder.
class ExpectedArchive {
 public:
  void I32(std::int32_t v) {
    for (int i = 0; i < 4; ++i)
      bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
  }
  void Byte(std::uint8_t b) { bytes.push_back(b); }
  void Zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); }
  void Hex(const std::string& hex) {
    for (std::size_t i = 0; i < hex.size(); i += 2)
      bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  void Short(const std::string& text, std::size_t field) {
    Byte(static_cast<std::uint8_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
    Zeros(field - text.size());
  }
  void Header(std::int32_t sequence, std::int32_t end, const std::string& source, std::int32_t next,
              std::int32_t size, std::int32_t start, std::int32_t packed, std::int32_t id,
              const std::string& version) {
    I32(sequence);
    Hex("00000000d0d5e140");  // 36526.5
    Byte(0);                  // LastDisk
    Zeros(3);
    I32(end);
    Short(source, 100);
    Zeros(3);
    I32(next);
    I32(size);
    I32(start);
    I32(packed);
    Byte(0);  // FirstDisk
    Zeros(3);
    I32(id);
    Short(version, 20);
    Zeros(3);
  }
  Bytes bytes;
};

using MemoryArchive = ArchiveCases<MemoryWorld>;

TEST_F(MemoryArchive, TwoEntriesAtColNoneArePinnedByteForByte) {
  world.Files().PutFile("C:\\src\\abc.txt", TextBytes("abc"), 36526.5);
  world.Files().PutFile("C:\\src\\Tallimo.ini", TextBytes("Tallimo\r\n"),
                        36526.5 + 1.0 / 86400);  // :01 keeps :00
  world.Versions().SetVersion("C:\\src\\abc.txt", "1.2.3.4");
  archive.SetCompressedFile("C:\\out\\files.1");
  archive.CompressionLevel = setup::colNone;
  List({"C:\\src\\abc.txt;Main", "C:\\src\\Tallimo.ini"});
  archive.AddFiles(false, 7);

  ExpectedArchive e;
  e.I32(2);
  e.Byte(0);
  e.Header(1, 190, "C:\\src\\abc.txt", 191, 3, 177, 14, 7, "1.2.3.4");
  e.Hex("7801010300fcff616263024d0127");
  e.Header(2, 382, "C:\\src\\Tallimo.ini", 383, 9, 363, 20, 7, "");
  e.Hex("7801010900f6ff54616c6c696d6f0d0a10b302ea");
  EXPECT_EQ(Read("C:\\out\\files.1"), e.bytes);
}

TEST_F(MemoryArchive, ColMaxHeaderFieldsAndContentRoundTrip) {
  const Bytes text = JournalText(100000);
  Put("C:\\src\\journal.txt", text);
  MakeArchive({"C:\\src\\journal.txt"}, setup::colMax, 12);
  const Bytes bytes = Read(W("files.1"));
  const std::int32_t packed = Int32At(bytes, 5 + 136);
  EXPECT_EQ(Int32At(bytes, 0), 1);
  EXPECT_EQ(bytes[4], 0);
  EXPECT_EQ(Int32At(bytes, 5 + 0), 1);
  EXPECT_EQ(Int32At(bytes, 5 + 128), 100000);
  EXPECT_EQ(Int32At(bytes, 5 + 132), 177);
  EXPECT_EQ(Int32At(bytes, 5 + 124), 177 + packed);
  EXPECT_EQ(Int32At(bytes, 5 + 16), 177 + packed - 1);
  EXPECT_EQ(Int32At(bytes, 5 + 144), 12);
  EXPECT_EQ(static_cast<std::int64_t>(bytes.size()), 177 + packed);
  EXPECT_EQ(bytes[177], 0x78);
  EXPECT_EQ(bytes[178], 0xDA);  // the zlib header of the best compression
  EXPECT_LT(packed, 30000);
  archive.ExtractDirectory = "C:\\out";
  List({"C:\\src\\journal.txt"});
  archive.ExtractFiles();
  EXPECT_EQ(Read("C:\\out\\journal.txt"), text);
}

TEST_F(MemoryArchive, ThreeFilesThenTwoAppended) {
  for (const char* name : {"a", "b", "c", "d", "e"})
    Put(W(std::string("src\\") + name + ".txt"), JournalText(3000 + name[0]));
  const std::string file = MakeArchive({W("src\\a.txt"), W("src\\b.txt"), W("src\\c.txt")});
  const Bytes three = Read(file);
  EXPECT_EQ(Int32At(three, 0), 3);
  EXPECT_EQ(three[4], 0);
  std::size_t p = 5;
  for (int i = 1; i <= 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Int32At(three, p), i);
    EXPECT_EQ(three[p + 12], 0);
    EXPECT_EQ(three[p + 140], 0);
    const std::int32_t next = Int32At(three, p + 124);
    EXPECT_EQ(next, Int32At(three, p + 132) + Int32At(three, p + 136));
    p = static_cast<std::size_t>(next);
  }
  EXPECT_EQ(p, three.size());

  List({W("src\\d.txt"), W("src\\e.txt")});
  archive.AddFiles(true, 5);
  const Bytes five = Read(file);
  EXPECT_EQ(Int32At(five, 0), 5);
  EXPECT_TRUE(std::equal(three.begin() + 4, three.end(), five.begin() + 4));
  EXPECT_EQ(Int32At(five, p), 1);
  EXPECT_EQ(Int32At(five, static_cast<std::size_t>(Int32At(five, p + 124))), 2);
  EXPECT_EQ(archive.FileCount(), 5);
  archive.ExtractDirectory = W("out");
  List({W("src\\a.txt"), W("src\\e.txt")});
  archive.ExtractFiles();
  EXPECT_EQ(Read(W("out\\a.txt")), JournalText(3000 + 'a'));
  EXPECT_EQ(Read(W("out\\e.txt")), JournalText(3000 + 'e'));
}

TEST_F(MemoryArchive, IndexOfUniqueIdAnswersZeroForUnknownIdentifiers) {
  for (const char* name : {"a", "b", "c"}) Put(W(std::string(name) + ".txt"), TextBytes(name));
  MakeArchive({W("a.txt"), W("b.txt")}, setup::colMax, 1999);
  List({W("c.txt")});
  archive.AddFiles(true, 30);
  archive.ReadHeaders();
  int index = -1;
  struct Case {
    std::int32_t id;
    int index;
    bool found;
  } cases[] = {{1999, 1, true}, {30, 2, true}, {2000, 0, false}, {-1, 0, false}, {31, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(archive.IndexOfUniqueID(c.id), c.index);
    EXPECT_EQ(archive.FindUniqueID(c.id, index), c.found);
    if (c.found) {
      EXPECT_EQ(index, c.index);
    }
  }
}

TEST_F(MemoryArchive, ASelfExtractorAtOffset1000ReadsShiftedPositions) {
  const Bytes text = JournalText(50000);
  Put(W("src\\a.txt"), text);
  const Bytes plain = Read(MakeArchive({W("src\\a.txt")}));
  Bytes setupExe = RandomBytes(1000, 9);
  setupExe.insert(setupExe.end(), plain.begin(), plain.end());
  const Bytes trailer = RandomBytes(56, 10);
  setupExe.insert(setupExe.end(), trailer.begin(), trailer.end());
  Put(W("setup.exe"), setupExe);
  archive.SetCompressedFile(W("setup.exe"));
  archive.Offset = 1000;
  archive.ExtractDirectory = W("out");
  List({W("src\\a.txt")});
  archive.ExtractFiles();
  EXPECT_EQ(Read(W("out\\a.txt")), text);

  // Split from there: the disks start at 0, and the source is not written.
  archive.OnNewDisk = [](setup::TPmbrCompress*, std::int32_t, std::string&) {};
  archive.SplitToDisks(W("disks"), "files.1");
  EXPECT_EQ(Read(W("setup.exe")), setupExe);
  const Bytes disk = Read(W("disks\\files.1"));
  EXPECT_EQ(disk[4], 1);
  EXPECT_EQ(Int32At(disk, 5 + 132), 5 + 172);
  archive.SetCompressedFile(W("disks\\files.1"));
  archive.Offset = 0;
  List({W("src\\a.txt")});
  archive.ExtractDirectory = W("out2");
  archive.ExtractFiles();
  EXPECT_EQ(Read(W("out2\\a.txt")), text);
}

TEST_F(MemoryArchive, AKeptTargetGetsOneFinishedStatus) {
  Put(W("src\\a.txt"), TextBytes("new"), 36000);
  MakeArchive({W("src\\a.txt")});
  Put(W("out\\a.txt"), TextBytes("newer on disk"), 37000);
  std::vector<bool> finished;
  archive.OnStatus = [&](setup::TPmbrCompress*, const setup::TlzhFileStats& s) {
    finished.push_back(s.EntryFinished);
  };
  archive.Overwrite = setup::owVersionDate;
  archive.ExtractDirectory = W("out");
  List({W("src\\a.txt")});
  archive.ExtractFiles();
  EXPECT_EQ(finished, std::vector<bool>{true});
  EXPECT_EQ(Read(W("out\\a.txt")), TextBytes("newer on disk"));
}

TEST_F(MemoryArchive, AMissingNameIsReportedWithTheArchive) {
  Put(W("a.txt"), TextBytes("a"));
  MakeArchive({W("a.txt")});
  List({"C:\\elsewhere\\b.txt;Group"});
  try {
    archive.ExtractFiles();
    FAIL();
  } catch (const setup::EPmbrCompress& e) {
    EXPECT_EQ(e.what(),
              "The file <C:\\elsewhere\\b.txt;Group> was not found in the archive <" + W("files.1") + ">");
  }
}

TEST_F(MemoryArchive, ExtractNameAppliesToTheFirstEntryOnly) {
  Put(W("src\\a.txt"), TextBytes("a"));
  Put(W("src\\b.txt"), TextBytes("b"));
  MakeArchive({W("src\\a.txt"), W("src\\b.txt")});
  std::vector<std::string> seen;
  archive.OnBeforeExtracting = [&](setup::TPmbrCompress* sender, const setup::TlzhFileStats&) {
    seen.push_back(sender->ExtractName);
  };
  archive.ExtractName = "sub\\renamed.txt";
  archive.ExtractDirectory = W("out");
  List({W("src\\a.txt"), W("src\\b.txt")});
  archive.ExtractFiles();
  EXPECT_EQ(seen, (std::vector<std::string>{"sub\\renamed.txt", "b.txt"}));
  EXPECT_EQ(Read(W("out\\renamed.txt")), TextBytes("a"));
  EXPECT_EQ(Read(W("out\\b.txt")), TextBytes("b"));
  EXPECT_FALSE(world.Files().Exists(W("out\\a.txt")));
  EXPECT_EQ(archive.ExtractName, "");
}

TEST_F(MemoryArchive, StatusCountsAreExactAndResetPerEntry) {
  Put(W("src\\a.bin"), RandomBytes(10000, 11));
  Put(W("src\\b.bin"), RandomBytes(5000, 12));
  MakeArchive({W("src\\a.bin"), W("src\\b.bin")});
  std::vector<setup::TlzhFileStats> seen;
  archive.OnStatus = [&](setup::TPmbrCompress*, const setup::TlzhFileStats& s) { seen.push_back(s); };
  archive.ExtractDirectory = W("out");
  List({W("src\\a.bin"), W("src\\b.bin")});
  archive.ExtractFiles();
  // a: 4096, 8192, 10000, finished; b: 4096, 5000, finished.
  ASSERT_EQ(seen.size(), 7u);
  const std::int32_t fileDone[] = {4096, 8192, 10000, 10000, 4096, 5000, 5000};
  const std::int32_t totalDone[] = {4096, 8192, 10000, 10000, 14096, 15000, 15000};
  const bool finished[] = {false, false, false, true, false, false, true};
  for (std::size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].FileDone, fileDone[i]);
    EXPECT_EQ(seen[i].TotalDone, totalDone[i]);
    EXPECT_EQ(seen[i].EntryFinished, finished[i]);
    EXPECT_EQ(seen[i].TotalSize, 15000);
  }
  EXPECT_EQ(seen[0].FilePercent, 41);  // 40.96
  EXPECT_EQ(seen[2].FilePercent, 100);
  EXPECT_EQ(seen[4].TotalPercent, 94);  // 93.97
  EXPECT_EQ(seen[4].EntryName, W("src\\b.bin"));
}

TEST(ArchivePercent, RoundsHalvesToEvenAndStaysWithin100) {
  struct Case {
    std::int64_t part, whole;
    int percent;
  } cases[] = {{1, 200, 0},     {3, 200, 2},  {5, 200, 2},
               {7, 200, 4},     {1, 0, 0},    {0, 0, 0},
               {150, 100, 100}, {-5, 100, 0}, {2147483647, 2147483647, 100},
               {1, 3, 33},      {2, 3, 67}};
  for (const Case& c : cases)
    EXPECT_EQ(setup::PercentOf(c.part, c.whole), c.percent) << c.part << "/" << c.whole;
}

TEST(ArchiveDates, FileDatesAreCutToTwoSeconds) {
  const double second = 1.0 / 86400;
  EXPECT_DOUBLE_EQ(setup::ToTwoSecondDate(36526.5), 36526.5);
  EXPECT_DOUBLE_EQ(setup::ToTwoSecondDate(36526.5 + second), 36526.5);
  EXPECT_DOUBLE_EQ(setup::ToTwoSecondDate(36526.5 + 3 * second), 36526.5 + 2 * second);
  EXPECT_DOUBLE_EQ(setup::ToTwoSecondDate(36526.0 + 86399.5 * second), 36526.0 + 86398 * second);
}

TEST_F(MemoryArchive, MessagesOfRefusedInput) {
  Put(W("a.txt"), TextBytes("a"));
  const auto message = [&](const std::function<void()>& operation) -> std::string {
    try {
      operation();
    } catch (const setup::EPmbrCompress& e) {
      return e.what();
    }
    return "no error";
  };
  archive.SetCompressedFile(W("short.1"));
  Put(W("short.1"), TextBytes("abc"));
  List({W("a.txt")});
  EXPECT_EQ(message([&] { archive.AddFiles(true, 0); }),
            "Could not read the file header count for the compressed file");

  archive.SetCompressedFile(W("files.1"));
  List({";no source"});
  EXPECT_EQ(message([&] { archive.AddFiles(false, 0); }), "Tried to add an invalid file header");

  const std::string longPath = W(std::string(100, 'x') + ".txt");
  Put(longPath, TextBytes("x"));
  List({longPath});
  EXPECT_EQ(message([&] { archive.AddFiles(false, 0); }),
            "The source path " + longPath + " is longer than 100 characters");

  List({W("missing.txt")});
  EXPECT_EQ(message([&] { archive.AddFiles(false, 0); }), "Cannot open the file " + W("missing.txt"));

  MakeArchive({W("a.txt")});
  setup::TlzhFileStats stats;
  EXPECT_EQ(message([&] { archive.GetFileStats(1, stats); }),
            "Tried to access the 1th file. This file is not defined");
  EXPECT_EQ(message([&] { archive.GetFileStats(-1, stats); }),
            "Tried to access the -1th file. This file is not defined");
  archive.GetFileStats(0, stats);
  EXPECT_EQ(stats.EntryName, W("a.txt"));
  EXPECT_EQ(stats.FileSize, 1);

  Put(W("out\\a.txt"), TextBytes("old"));
  archive.Overwrite = static_cast<setup::TOverwriteType>(5);
  archive.ExtractDirectory = W("out");
  List({W("a.txt")});
  EXPECT_EQ(message([&] { archive.ExtractFiles(); }), "Error comparing file versions in TPmbrCompress");
  EXPECT_EQ(message([&] { archive.CopyFile(W("a.txt"), W("out\\a.txt")); }),
            "Error comparing file versions in TPmbrCompress");

  archive.SetCompressedFile(W("none.1"));
  EXPECT_EQ(message([&] { archive.ReadHeaders(); }), "Cannot open the compressed file " + W("none.1"));
}

TEST_F(MemoryArchive, CopyFileFollowsTheOverwriteRules) {
  Put(W("new.txt"), TextBytes("new"), 36000);
  struct Case {
    setup::TOverwriteType rule;
    double existingDate;
    bool replaced;
  } cases[] = {{setup::owAlways, 37000, true},     {setup::owNever, 35000, false},
               {setup::owDate, 35000, true},       {setup::owDate, 37000, false},
               {setup::owDate, 36000, false},      {setup::owVersion, 35000, false},
               {setup::owVersionDate, 35000, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.rule) + " " + std::to_string(c.existingDate));
    Put(W("out\\dest.txt"), TextBytes("old"), c.existingDate);
    archive.Overwrite = c.rule;
    int replaces = 0, statuses = 0;
    archive.OnReplace = [&](setup::TPmbrCompress*, const setup::TlzhFileStats&) { ++replaces; };
    archive.OnStatus = [&](setup::TPmbrCompress*, const setup::TlzhFileStats&) { ++statuses; };
    archive.CopyFile(W("new.txt"), W("out\\dest.txt"));
    EXPECT_EQ(Read(W("out\\dest.txt")), TextBytes(c.replaced ? "new" : "old"));
    EXPECT_DOUBLE_EQ(DateOf(W("out\\dest.txt")), c.replaced ? 36000 : c.existingDate);
    EXPECT_EQ(replaces, c.replaced ? 1 : 0);
    EXPECT_EQ(statuses, c.replaced ? 2 : 0);
    EXPECT_EQ(archive.ExtractName, "");
  }
  archive.OnReplace = nullptr;
  archive.OnStatus = nullptr;
  archive.CopyFile(W("new.txt"), W("fresh\\copy.txt"));
  EXPECT_EQ(Read(W("fresh\\copy.txt")), TextBytes("new"));
}

TEST_F(MemoryArchive, AFullDiskHandlerThatMakesRoomLetsTheWriteGoOn) {
  world.Files().PutFile("A:\\ballast.bin", RandomBytes(1400000, 13));
  Put(W("b.bin"), RandomBytes(200000, 14));
  archive.SetCompressedFile("A:\\files.1");
  int calls = 0;
  archive.OnFullDisk = [&](fw::TComponent*) {
    ++calls;
    world.Files().Delete("A:\\ballast.bin");
  };
  List({W("b.bin")});
  archive.AddFiles(false, 0);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(archive.Abort);
  archive.ExtractDirectory = W("out");
  List({W("b.bin")});
  archive.ExtractFiles();
  EXPECT_EQ(Read(W("out\\b.bin")), RandomBytes(200000, 14));
}

TEST_F(MemoryArchive, ARenameThatFailsKeepsTheOldTarget) {
  Put(W("src\\a.txt"), TextBytes("new"));
  MakeArchive({W("src\\a.txt")});
  Put(W("out\\a.txt"), TextBytes("old, held open"));
  world.Files().RefuseRename = [](const std::string&, const std::string&) { return true; };
  archive.ExtractDirectory = W("out");
  List({W("src\\a.txt")});
  EXPECT_THROW(archive.ExtractFiles(), setup::EPmbrCompress);
  EXPECT_EQ(Read(W("out\\a.txt")), TextBytes("old, held open"));
  EXPECT_TRUE(Temporaries(W("out")).empty());
}

TEST_F(MemoryArchive, SettingTheListDropsBlankLinesFromTheCallersList) {
  std::vector<std::string> lines = {"a", "  ", "", "b", "\t"};
  archive.SetFilesToProcess(lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(archive.FilesToProcess(), lines);
}

TEST_F(MemoryArchive, AnotherDiskOfTheSameArchiveKeepsTheHeaders) {
  Put(W("a.txt"), TextBytes("a"));
  MakeArchive({W("a.txt")});
  archive.ExtractFiles();  // an empty list: reads the headers, adds nothing
  EXPECT_EQ(archive.FileCount(), 1);
  world.Files().Delete(W("files.1"));
  archive.SetCompressedFile(W("FILES.2"));  // same archive: nothing is read again
  EXPECT_EQ(archive.FileCount(), 1);
  archive.SetCompressedFile(W("other.1"));
  EXPECT_THROW(archive.FileCount(), setup::EPmbrCompress);
}

}  // namespace
}  // namespace archive_test
