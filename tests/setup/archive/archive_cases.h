// Cases of the installer archive that run over every file world: in-memory
// disks natively, and real files with the real 1.44 MB drive A: under Wine.
// A world gives the files, a roomy work folder, the floppy's root, the folder
// of a second disk, the names of the files in a folder, the version reader's
// decisions and its message pump.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "setup/archive/pmbr_compress.h"

namespace archive_test {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int64_t kFloppyBytes = 1474560;
constexpr double kNewYearNoon = 36526.5;  // 2000-01-01 12:00:00

inline Bytes RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

inline Bytes JournalText(std::size_t size) {
  Bytes bytes;
  for (int line = 1; bytes.size() < size; ++line) {
    const std::string text = "01/12/99 12:" + std::to_string(10 + line % 50) + " REG 1  SALE  #" +
                             std::to_string(line) + "  TOTAL  " + std::to_string(line * 37 % 1000) +
                             ".95\r\n";
    bytes.insert(bytes.end(), text.begin(), text.end());
  }
  bytes.resize(size);
  return bytes;
}

inline Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

template <class World>
class ArchiveCases : public ::testing::Test {
 protected:
  World world;
  int pumps = 0;
  setup::TPmbrCompress archive{nullptr, world.Files(), world.Versions(), [this] {
                                 ++pumps;
                                 world.Pump();
                               }};

  std::string W(const std::string& name) { return world.Work() + "\\" + name; }

  void Put(const std::string& path, const Bytes& bytes, double date = kNewYearNoon) {
    auto& files = world.Files();
    ASSERT_TRUE(files.CreateFolders(setup::FolderOf(path))) << path;
    auto stream = files.Open(path, setup::ArchiveOpenMode::Create);
    ASSERT_TRUE(stream) << path;
    ASSERT_EQ(stream->Write(bytes.data(), bytes.size()), bytes.size()) << path;
    stream.reset();
    ASSERT_TRUE(files.SetFileDate(path, date)) << path;
  }

  Bytes Read(const std::string& path) {
    auto stream = world.Files().Open(path, setup::ArchiveOpenMode::ReadShared);
    if (!stream) return {};
    Bytes bytes(static_cast<std::size_t>(stream->Size()));
    bytes.resize(stream->Read(bytes.data(), bytes.size()));
    return bytes;
  }

  double DateOf(const std::string& path) {
    double date = -1;
    world.Files().GetFileDate(path, date);
    return date;
  }

  void List(std::vector<std::string> lines) { archive.SetFilesToProcess(lines); }

  // Files named like temporary files ("bat....tmp") left in the folder.
  std::vector<std::string> Temporaries(const std::string& folder) {
    std::vector<std::string> left;
    for (const std::string& name : world.FilesIn(folder)) {
      std::string lower = name;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (lower.rfind("bat", 0) == 0 && lower.size() > 4 && lower.substr(lower.size() - 4) == ".tmp")
        left.push_back(name);
    }
    return left;
  }

  // An archive of the given sources at the work folder's "files.1".
  std::string MakeArchive(const std::vector<std::string>& sources,
                          setup::TCompressionLevel level = setup::colMax, std::int32_t uniqueID = 0) {
    const std::string name = W("files.1");
    archive.SetCompressedFile(name);
    archive.CompressionLevel = level;
    List(sources);
    archive.AddFiles(false, uniqueID);
    return name;
  }

  std::int32_t Int32At(const Bytes& bytes, std::size_t at) {
    return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                     static_cast<std::uint32_t>(bytes[at + 3]) << 24);
  }
};

TYPED_TEST_SUITE_P(ArchiveCases);

// Real bytes and dates survive adding and extracting at every level.
TYPED_TEST_P(ArchiveCases, RoundTripsBytesAndDates) {
  const Bytes text = JournalText(150000), noise = RandomBytes(70000, 1), empty;
  this->Put(this->W("src\\journal.txt"), text, 36526.5);
  this->Put(this->W("src\\noise.bin"), noise, 40000.25);
  this->Put(this->W("src\\empty.txt"), empty, 45000.0 + 2.0 / 86400);
  for (auto level : {setup::colNone, setup::colFastest, setup::colDefault, setup::colMax}) {
    SCOPED_TRACE(level);
    this->MakeArchive({this->W("src\\journal.txt"), this->W("src\\noise.bin"), this->W("src\\empty.txt")},
                      level);
    this->archive.ExtractDirectory = this->W("out");
    this->List({this->W("src\\journal.txt"), this->W("src\\noise.bin"), this->W("src\\empty.txt")});
    this->archive.ExtractFiles();
    EXPECT_EQ(this->Read(this->W("out\\journal.txt")), text);
    EXPECT_EQ(this->Read(this->W("out\\noise.bin")), noise);
    EXPECT_TRUE(this->world.Files().Exists(this->W("out\\empty.txt")));
    EXPECT_TRUE(this->Read(this->W("out\\empty.txt")).empty());
    EXPECT_DOUBLE_EQ(this->DateOf(this->W("out\\journal.txt")), 36526.5);
    EXPECT_DOUBLE_EQ(this->DateOf(this->W("out\\noise.bin")), 40000.25);
    EXPECT_DOUBLE_EQ(this->DateOf(this->W("out\\empty.txt")), 45000.0 + 2.0 / 86400);
    EXPECT_TRUE(this->Temporaries(this->W("out")).empty());
    EXPECT_FALSE(this->archive.Abort);
  }
  EXPECT_GT(this->pumps, 0);
}

// A file that does not fit on the floppy ends in "The disk is full"; the
// archive claims none of it, and an append keeps the old entries' bytes.
TYPED_TEST_P(ArchiveCases, AddingOntoAFullFloppyFailsAndClaimsNothing) {
  this->world.UseFloppy();
  const std::string floppy = this->world.Floppy() + "\\files.1";
  this->Put(this->W("small.txt"), JournalText(5000));
  this->Put(this->W("big.bin"), RandomBytes(1600000, 2));
  this->archive.SetCompressedFile(floppy);
  this->List({this->W("small.txt")});
  this->archive.AddFiles(false, 0);
  const Bytes before = this->Read(floppy);

  for (bool handler : {false, true}) {
    SCOPED_TRACE(handler);
    int fullDisk = 0;
    this->archive.OnFullDisk = handler ? fw::TNotifyEvent([&](fw::TComponent*) { ++fullDisk; }) : nullptr;
    this->List({this->W("big.bin")});
    try {
      this->archive.AddFiles(true, 0);
      FAIL() << "added onto a full disk";
    } catch (const setup::EpcDiskFull& e) {
      EXPECT_STREQ(e.what(), "The disk is full");
    }
    EXPECT_EQ(fullDisk, handler ? 1 : 0);
    EXPECT_TRUE(this->archive.Abort);
    EXPECT_TRUE(this->archive.FilesToProcess().empty());
    const Bytes after = this->Read(floppy);
    ASSERT_GE(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    EXPECT_EQ(this->archive.FileCount(), 1);
    this->archive.ReadHeaders();
    EXPECT_EQ(this->archive.FileCount(), 1);
  }
  // The archive stays whole: its entry extracts, and a later append fits
  // behind the last whole entry.
  this->archive.ExtractDirectory = this->W("out");
  this->List({this->W("small.txt")});
  this->archive.ExtractFiles();
  EXPECT_EQ(this->Read(this->W("out\\small.txt")), JournalText(5000));
}

// A split onto the floppy goes on in the second disk's folder given by
// OnNewDisk, and extracts back across the two.
TYPED_TEST_P(ArchiveCases, SplitOntoTheFloppyContinuesOnASecondDisk) {
  this->world.UseFloppy();
  const Bytes small = JournalText(40000), large = RandomBytes(1500000, 3);
  this->Put(this->W("src\\first.txt"), small);
  this->Put(this->W("src\\large.bin"), large, 40000.5);
  const std::string source = this->MakeArchive({this->W("src\\first.txt"), this->W("src\\large.bin")});
  const Bytes sourceBytes = this->Read(source);

  std::vector<int> asked;
  this->archive.OnNewDisk = [&](setup::TPmbrCompress*, std::int32_t disk, std::string& path) {
    asked.push_back(disk);
    EXPECT_EQ(path, this->world.Floppy());
    path = this->world.SecondDisk();
  };
  this->archive.SplitToDisks(this->world.Floppy(), "files.1");
  EXPECT_EQ(asked, std::vector<int>{2});
  EXPECT_EQ(this->Read(source), sourceBytes);  // the source is only read

  const Bytes disk1 = this->Read(this->world.Floppy() + "\\files.1");
  const Bytes disk2 = this->Read(this->world.SecondDisk() + "\\files.2");
  EXPECT_EQ(static_cast<std::int64_t>(disk1.size()), kFloppyBytes);
  ASSERT_GE(disk1.size(), 5u + 2 * 172);
  EXPECT_EQ(this->Int32At(disk1, 0), 2);
  EXPECT_EQ(disk1[4], 1);
  // The second entry starts on disk 1 and ends on disk 2.
  const std::size_t second = 5 + 172;
  EXPECT_EQ(this->Int32At(disk1, second + 124), static_cast<std::int32_t>(second + 172));
  EXPECT_EQ(disk1[second + 140], 1);
  EXPECT_EQ(disk1[second + 12], 2);
  EXPECT_EQ(this->Int32At(disk1, second + 16), static_cast<std::int32_t>(disk2.size()) - 1);

  // Extracting: each disk is asked for in the folder of the disk before, as
  // when floppies are swapped in one drive.
  asked.clear();
  this->archive.OnNewDisk = [&](setup::TPmbrCompress*, std::int32_t disk, std::string& path) {
    asked.push_back(disk);
    EXPECT_EQ(path, disk == 2 ? this->world.Floppy() : this->world.SecondDisk());
    path = disk == 2 ? this->world.SecondDisk() : this->world.Floppy();
  };
  this->archive.SetCompressedFile(this->world.Floppy() + "\\files.1");
  this->archive.ExtractDirectory = this->W("out");
  this->List({this->W("src\\large.bin"), this->W("src\\first.txt")});
  this->archive.ExtractFiles();
  EXPECT_EQ(asked, (std::vector<int>{2, 1}));
  EXPECT_EQ(this->Read(this->W("out\\large.bin")), large);
  EXPECT_EQ(this->Read(this->W("out\\first.txt")), small);
  EXPECT_DOUBLE_EQ(this->DateOf(this->W("out\\large.bin")), 40000.5);

  // A reader that finds another disk in the drive asks for disk 1 back, for
  // the headers, before the disk of the entry.
  asked.clear();
  this->archive.OnNewDisk = [&](setup::TPmbrCompress*, std::int32_t disk, std::string& path) {
    asked.push_back(disk);
    path = disk == 1 ? this->world.Floppy() : this->world.SecondDisk();
  };
  this->archive.SetCompressedFile(this->world.SecondDisk() + "\\files.1");
  this->archive.ExtractDirectory = this->W("again");
  this->List({this->W("src\\first.txt")});
  this->archive.ExtractFiles();
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.front(), 1);
  EXPECT_EQ(this->Read(this->W("again\\first.txt")), small);

  // A reader given the headers read before asks only for the disks of the
  // entry's data, not for disk 1 for the headers first.
  std::vector<int> askedAgain;
  setup::TPmbrCompress reader(nullptr, this->world.Files(), this->world.Versions(), [] {});
  reader.OnNewDisk = [&](setup::TPmbrCompress*, std::int32_t disk, std::string& path) {
    askedAgain.push_back(disk);
    path = disk == 1 ? this->world.Floppy() : this->world.SecondDisk();
  };
  reader.SetCompressedFile(this->world.SecondDisk() + "\\files.1");
  reader.UseHeaders(this->archive.Headers());
  reader.ExtractDirectory = this->W("adopted");
  std::vector<std::string> lines = {this->W("src\\large.bin")};
  reader.SetFilesToProcess(lines);
  reader.ExtractFiles();
  EXPECT_EQ(askedAgain, (std::vector<int>{1, 2}));
  EXPECT_EQ(this->Read(this->W("adopted\\large.bin")), large);
}

// Cancelling in the middle of an extraction or a copy: OnAborted, no
// exception, the old target byte for byte, no temporary file.
TYPED_TEST_P(ArchiveCases, CancelKeepsTheOldTarget) {
  const Bytes fresh = RandomBytes(300000, 4), old = TextBytes("the old file");
  this->Put(this->W("src\\app.bin"), fresh);
  this->MakeArchive({this->W("src\\app.bin")});
  int aborted = 0, statuses = 0;
  this->archive.OnAborted = [&](fw::TComponent*) { ++aborted; };
  this->archive.OnStatus = [&](setup::TPmbrCompress* sender, const setup::TlzhFileStats& stats) {
    if (++statuses == 3) sender->Abort = true;
    EXPECT_FALSE(stats.EntryFinished);
  };

  this->Put(this->W("out\\app.bin"), old, 30000);
  this->archive.ExtractDirectory = this->W("out");
  this->List({this->W("src\\app.bin")});
  this->archive.ExtractFiles();
  EXPECT_EQ(aborted, 1);
  EXPECT_EQ(statuses, 3);
  EXPECT_TRUE(this->archive.Abort);
  EXPECT_EQ(this->Read(this->W("out\\app.bin")), old);
  EXPECT_DOUBLE_EQ(this->DateOf(this->W("out\\app.bin")), 30000);
  EXPECT_TRUE(this->Temporaries(this->W("out")).empty());

  statuses = 0;
  this->archive.CopyFile(this->W("src\\app.bin"), this->W("out\\app.bin"));
  EXPECT_EQ(aborted, 2);
  EXPECT_EQ(statuses, 3);
  EXPECT_EQ(this->Read(this->W("out\\app.bin")), old);
  EXPECT_TRUE(this->Temporaries(this->W("out")).empty());
}

// Every kind of damage ends in a clear EPmbrCompress; the old target stays
// and no temporary file is left.
TYPED_TEST_P(ArchiveCases, DamagedArchivesLeaveTheOldTarget) {
  const Bytes content = JournalText(20000);
  this->Put(this->W("src\\a.txt"), content);
  this->Put(this->W("src\\b.txt"), TextBytes("second entry"));
  const std::string name = this->MakeArchive({this->W("src\\a.txt"), this->W("src\\b.txt")});
  const Bytes good = this->Read(name);
  const std::size_t h1 = 5, d1 = h1 + 172;
  const std::size_t packed1 = static_cast<std::size_t>(this->Int32At(good, h1 + 136));
  const std::size_t h2 = d1 + packed1;
  // The user's archive is named, not the build machine's source folder.
  const std::string headers = "Could not read the file headers for the compressed file " + name +
                              ". The Archive file could possible be corrupt";
  const std::string damaged = "The compressed data of a.txt in " + name + " is damaged";
  const std::string wrongSize =
      "The decompressed file's size does not match with the actual size of the file.  The file is a.txt in " +
      name;

  const auto put32 = [](Bytes& b, std::size_t at, std::int64_t v) {
    for (int i = 0; i < 4; ++i)
      b[at + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i));
  };
  struct Case {
    std::string what;
    std::function<void(Bytes&)> harm;
    std::string message;
  };
  std::vector<Case> cases = {
      {"truncated in the count", [](Bytes& b) { b.resize(3); }, headers},
      {"truncated in the flag", [](Bytes& b) { b.resize(4); }, headers},
      {"negative count", [&](Bytes& b) { put32(b, 0, -1); }, headers},
      {"huge count", [&](Bytes& b) { put32(b, 0, 0x7fffffff); }, headers},
      {"count one too many", [&](Bytes& b) { put32(b, 0, 3); }, headers},
      {"flag 7", [](Bytes& b) { b[4] = 7; }, headers},
      {"backward NextHeader", [&](Bytes& b) { put32(b, h1 + 124, 0); }, headers},
      {"NextHeader past the end", [&](Bytes& b) { put32(b, h1 + 124, 0x7ffffff0); }, headers},
      {"SourcePath length 255", [=](Bytes& b) { b[h1 + 20] = 255; }, headers},
      {"VersionText length 21", [=](Bytes& b) { b[h1 + 148] = 21; }, headers},
      {"negative FileSize", [&](Bytes& b) { put32(b, h1 + 128, -5); }, headers},
      {"negative DataStart", [&](Bytes& b) { put32(b, h1 + 132, -1); }, headers},
      {"PackedSize past the end", [&](Bytes& b) { put32(b, h1 + 136, 0x7fff0000); }, headers},
      {"FirstDisk after LastDisk", [=](Bytes& b) { b[h1 + 140] = 2; }, headers},
      {"disks in a single file", [=](Bytes& b) { b[h1 + 140] = 1, b[h1 + 12] = 1; }, headers},
      {"blank SourcePath", [=](Bytes& b) { b[h2 + 20] = 1, b[h2 + 21] = ' '; }, headers},
      {"bit flip in the zlib header", [&](Bytes& b) { b[d1] ^= 0x10; }, damaged},
      {"bit flip in the data", [&](Bytes& b) { b[d1 + packed1 / 2] ^= 0x04; }, damaged},
      {"bit flip in the checksum", [&](Bytes& b) { b[d1 + packed1 - 1] ^= 0x01; }, damaged},
      {"FileSize one too small", [&](Bytes& b) { put32(b, h1 + 128, 19999); }, damaged},
      {"FileSize one too large", [&](Bytes& b) { put32(b, h1 + 128, 20001); }, wrongSize},
      {"FileSize huge", [&](Bytes& b) { put32(b, h1 + 128, 0x7fffffff); }, wrongSize},
  };
  // Truncation inside every header field and inside the data.
  for (std::size_t at :
       {0u, 2u, 6u, 12u, 14u, 18u, 21u, 60u, 122u, 126u, 130u, 134u, 138u, 140u, 142u, 146u, 150u, 170u})
    cases.push_back(
        {"cut at header byte " + std::to_string(at), [=](Bytes& b) { b.resize(h1 + at); }, headers});
  cases.push_back({"cut inside the data", [=](Bytes& b) { b.resize(d1 + packed1 / 2); }, headers});
  cases.push_back({"cut inside the second header", [=](Bytes& b) { b.resize(h2 + 100); }, headers});

  const Bytes old = TextBytes("old target");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes = good;
    c.harm(bytes);
    this->Put(name, bytes);
    this->Put(this->W("out\\a.txt"), old, 20000);
    this->archive.SetCompressedFile("");
    this->archive.SetCompressedFile(name);
    this->archive.ExtractDirectory = this->W("out");
    this->archive.Overwrite = setup::owAlways;
    this->List({this->W("src\\a.txt")});
    try {
      this->archive.ExtractFiles();
      ADD_FAILURE() << "no error";
    } catch (const setup::EpcAborted&) {
      ADD_FAILURE() << "aborted";
    } catch (const setup::EPmbrCompress& e) {
      EXPECT_EQ(e.what(), c.message);
    }
    EXPECT_TRUE(this->archive.Abort);
    EXPECT_EQ(this->Read(this->W("out\\a.txt")), old);
    EXPECT_DOUBLE_EQ(this->DateOf(this->W("out\\a.txt")), 20000);
    EXPECT_TRUE(this->Temporaries(this->W("out")).empty());

    // The check before an install finds the same damage without writing.
    this->archive.SetCompressedFile("");
    this->archive.SetCompressedFile(name);
    this->List({this->W("src\\b.txt"), this->W("src\\a.txt")});
    try {
      this->archive.CheckFiles();
      ADD_FAILURE() << "the check found no error";
    } catch (const setup::EPmbrCompress& e) {
      EXPECT_EQ(e.what(), c.message);
    }
    EXPECT_TRUE(this->archive.FilesToProcess().empty());
    EXPECT_EQ(this->Read(this->W("out\\a.txt")), old);
    EXPECT_TRUE(this->Temporaries(this->W("out")).empty());
  }
  // A whole archive passes the check, and the check writes nothing.
  this->Put(name, good);
  this->archive.SetCompressedFile("");
  this->archive.SetCompressedFile(name);
  this->archive.ExtractDirectory = this->W("check");
  this->List({this->W("src\\a.txt"), this->W("src\\b.txt")});
  this->archive.CheckFiles();
  EXPECT_FALSE(this->archive.Abort);
  EXPECT_FALSE(this->world.Files().Exists(this->W("check\\a.txt")));
}

// Disk 2 of a split archive missing: without OnNewDisk the entry fails by
// name of the disk; a Cancel in the disk prompt is the user's abort.
TYPED_TEST_P(ArchiveCases, AMissingDiskEndsTheExtraction) {
  this->world.UseFloppy();
  this->Put(this->W("src\\large.bin"), RandomBytes(1500000, 5));
  this->MakeArchive({this->W("src\\large.bin")});
  this->archive.OnNewDisk = [&](setup::TPmbrCompress*, std::int32_t, std::string& path) {
    path = this->world.SecondDisk();
  };
  this->archive.SplitToDisks(this->world.Floppy(), "files.1");
  ASSERT_TRUE(this->world.Files().Delete(this->world.SecondDisk() + "\\files.2"));
  const Bytes old = TextBytes("old");

  this->archive.OnNewDisk = nullptr;
  this->Put(this->W("out\\large.bin"), old);
  this->archive.SetCompressedFile(this->world.Floppy() + "\\files.1");
  this->archive.ExtractDirectory = this->W("out");
  this->List({this->W("src\\large.bin")});
  try {
    this->archive.ExtractFiles();
    ADD_FAILURE() << "no error";
  } catch (const setup::EPmbrCompress& e) {
    EXPECT_STREQ(e.what(), "Could not open the correct disk file 2");
  }
  EXPECT_EQ(this->Read(this->W("out\\large.bin")), old);
  EXPECT_TRUE(this->Temporaries(this->W("out")).empty());

  int prompts = 0, aborted = 0;
  this->archive.OnNewDisk = [&](setup::TPmbrCompress* sender, std::int32_t disk, std::string&) {
    EXPECT_EQ(disk, 2);
    ++prompts;
    sender->Abort = true;  // the user pressed Cancel
  };
  this->archive.OnAborted = [&](fw::TComponent*) { ++aborted; };
  this->archive.SetCompressedFile(this->world.Floppy() + "\\files.1");
  this->List({this->W("src\\large.bin")});
  this->archive.ExtractFiles();
  EXPECT_EQ(prompts, 1);
  EXPECT_EQ(aborted, 1);
  EXPECT_EQ(this->Read(this->W("out\\large.bin")), old);
  EXPECT_TRUE(this->Temporaries(this->W("out")).empty());
}

REGISTER_TYPED_TEST_SUITE_P(ArchiveCases, RoundTripsBytesAndDates, AddingOntoAFullFloppyFailsAndClaimsNothing,
                            SplitOntoTheFloppyContinuesOnASecondDisk, CancelKeepsTheOldTarget,
                            DamagedArchivesLeaveTheOldTarget, AMissingDiskEndsTheExtraction);

}  // namespace archive_test
