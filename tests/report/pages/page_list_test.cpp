#include "report/pages/page_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "report/pages/compress.h"
#include "report/pages/error.h"
#include "tests/report/pages/memory_files.h"
#include "tests/report/pages/page_images.h"

namespace report {
namespace {

using testing::FixedClock;
using testing::MemoryFiles;
using testing::MetafileImage;
using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& bytes, std::int32_t value) {
  std::uint8_t field[4];
  StoreInt32(field, value);
  bytes.insert(bytes.end(), field, field + 4);
}

// One record: page number, next-record offset, page data, own start.
void AppendRecord(Bytes& file, std::int32_t number, std::int32_t next, const Bytes& data,
                  std::int32_t start) {
  Append(file, number);
  Append(file, next);
  file.insert(file.end(), data.begin(), data.end());
  Append(file, start);
}

Bytes Header(std::int32_t count, double time, bool compression) {
  Bytes header = {0x03, 0x00, 0x30, 0x01, 0x00, 0x00, 0x00, 0x00};
  Append(header, count);
  std::uint64_t bits;
  std::memcpy(&bits, &time, sizeof bits);
  for (int i = 0; i < 8; ++i) header.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  header.push_back(0);
  header.push_back(compression ? 1 : 0);
  header.resize(124, 0);
  return header;
}

Bytes Coded(const Bytes& page) {
  MemoryStream out;
  TQRCompress coder(out, true);
  for (std::uint8_t byte : page) coder.Encode(byte);
  coder.Finish();
  return out.Bytes();
}

class PageStore : public ::testing::Test {
 protected:
  PageStore() { pages.SetStream(std::make_unique<TQRStream>(files, kPageStoreMemoryLimit)); }

  Bytes Content() {
    MemoryStream copy;
    pages.Stream()->CopyTo(copy);
    return copy.Bytes();
  }
  // Fills the store with count distinct pages and finishes it.
  std::vector<Bytes> AddPages(int count) {
    std::vector<Bytes> added;
    for (int i = 0; i < count; ++i) {
      added.push_back(MetafileImage(i % 5, static_cast<std::uint8_t>(i)));
      pages.AddPage(added.back());
    }
    pages.Finish();
    return added;
  }

  MemoryFiles files;
  FixedClock clock;
  TQRPageList pages{files, clock};
};

TEST_F(PageStore, HeaderIsPinnedWithTheInjectedClock) {
  clock.now = 46365.75;  // 9 December 2026, 18:00
  pages.Finish();
  EXPECT_EQ(Content(), Header(0, 46365.75, false));
  pages.Compression = true;
  pages.WriteFileHeader();
  EXPECT_EQ(Content(), Header(0, 46365.75, true));
  EXPECT_EQ(pages.Stream()->Position(), 124);
}

TEST_F(PageStore, EmptyFinishedStoreIsOnlyTheHeader) {
  pages.Finish();
  const Bytes content = Content();
  ASSERT_EQ(content.size(), 124u);
  EXPECT_EQ(LoadInt32(&content[8]), 0);
}

TEST_F(PageStore, TwoPlainPagesArePinnedByteForByte) {
  const Bytes page = MetafileImage();
  ASSERT_EQ(page.size(), 128u);
  pages.AddPage(page);
  Bytes onePage = Header(1, clock.now, false);
  AppendRecord(onePage, 1, 264, page, 124);
  EXPECT_EQ(Content(), onePage) << "the header carries count 1 from page 1 on";
  pages.AddPage(page);
  clock.now += 1;
  pages.Finish();

  Bytes expected = Header(2, clock.now, false);
  AppendRecord(expected, 1, 264, page, 124);
  AppendRecord(expected, 2, 404, page, 264);
  ASSERT_EQ(expected.size(), 404u);
  EXPECT_EQ(Content(), expected);
}

TEST_F(PageStore, CodedPagesArePinnedByteForByte) {
  pages.Compression = true;
  const Bytes first = MetafileImage(2, 1);
  const Bytes second = MetafileImage(0, 0);
  pages.AddPage(first);
  pages.AddPage(second);
  pages.Finish();

  Bytes expected = Header(2, clock.now, true);
  std::int32_t start = 124;
  for (std::int32_t number : {1, 2}) {
    const Bytes& page = number == 1 ? first : second;
    const Bytes coded = Coded(page);  // every page starts from a fresh coder
    const auto end = static_cast<std::int32_t>(start + 16 + coded.size());
    Bytes data;
    Append(data, static_cast<std::int32_t>(page.size()));
    data.insert(data.end(), coded.begin(), coded.end());
    AppendRecord(expected, number, end, data, start);
    start = end;
  }
  EXPECT_EQ(Content(), expected);
}

TEST_F(PageStore, GetPageReturnsEveryPageInAnyOrder) {
  for (bool compression : {false, true}) {
    MemoryFiles localFiles;
    TQRPageList store(localFiles, clock);
    // A small limit makes the store spill to its temporary file half way.
    store.SetStream(std::make_unique<TQRStream>(localFiles, 1000));
    store.Compression = compression;
    std::vector<Bytes> added;
    for (int i = 0; i < 40; ++i) {
      added.push_back(MetafileImage(i % 7, static_cast<std::uint8_t>(i)));
      store.AddPage(added.back());
    }
    store.Finish();
    ASSERT_FALSE(store.Stream()->InMemory());

    std::vector<int> order(40);
    for (int i = 0; i < 40; ++i) order[i] = i + 1;
    std::shuffle(order.begin(), order.end(), std::mt19937(compression ? 2 : 1));
    for (int n : order) {
      const auto page = store.GetPage(n);
      ASSERT_TRUE(page.has_value()) << n;
      EXPECT_EQ(*page, added[n - 1]) << "page " << n << (compression ? " coded" : " plain");
    }
    for (int n = 40; n >= 1; --n) EXPECT_EQ(store.GetPage(n), added[n - 1]) << n;
  }
}

TEST_F(PageStore, GetPageOutsideTheReportReturnsNothing) {
  AddPages(3);
  for (std::int32_t n : {0, -1, -2147483647 - 1, 4, 2147483647})
    EXPECT_FALSE(pages.GetPage(n).has_value()) << n;
  EXPECT_TRUE(pages.GetPage(3).has_value());
}

TEST_F(PageStore, PageThatIsNoMetafileIsRefusedAndNothingIsWritten) {
  Bytes notMetafile = MetafileImage();
  notMetafile[40] = 'X';
  Bytes wrongLength = MetafileImage();
  wrongLength.push_back(0);
  for (const Bytes& page : {notMetafile, wrongLength, Bytes(20, 0)}) {
    EXPECT_THROW(pages.AddPage(page), EQRError);
    EXPECT_EQ(pages.PageCount, 0);
    EXPECT_EQ(pages.Stream()->Size(), 0);
  }
}

TEST_F(PageStore, SaveThenLoadGivesTheSamePages) {
  for (bool compression : {false, true}) {
    TQRPageList source(files, clock);
    source.SetStream(std::make_unique<TQRStream>(files, kPageStoreMemoryLimit));
    source.Compression = compression;
    std::vector<Bytes> added;
    for (int i = 0; i < 6; ++i) {
      added.push_back(MetafileImage(i * 3, static_cast<std::uint8_t>(i)));
      source.AddPage(added.back());
    }
    source.Finish();
    source.SaveToFile("report.qrp");
    EXPECT_EQ(source.Stream()->Position(), source.Stream()->Size());

    TQRPageList loaded(files, clock);
    loaded.LoadFromFile("report.qrp");
    EXPECT_EQ(loaded.PageCount, 6);
    EXPECT_EQ(loaded.Compression, compression);
    for (int n : {6, 1, 4, 3, 5, 2}) EXPECT_EQ(loaded.GetPage(n), added[n - 1]) << n;
  }
}

TEST_F(PageStore, LoadReadsByte21AsTheCompressionFlag) {
  const auto added = AddPages(2);
  const Bytes plain = Content();
  pages.Compression = true;
  TQRPageList coded(files, clock);
  coded.SetStream(std::make_unique<TQRStream>(files, kPageStoreMemoryLimit));
  coded.Compression = true;
  coded.AddPage(added[0]);
  coded.AddPage(added[1]);
  coded.Finish();
  coded.SaveToFile("coded.qrp");
  Bytes codedFlag2 = files.Bytes("coded.qrp");
  codedFlag2[21] = 2;  // any value but 0 means coded
  files.Put("plain.qrp", plain);
  files.Put("coded2.qrp", codedFlag2);

  for (const char* name : {"plain.qrp", "coded.qrp", "coded2.qrp"}) {
    TQRPageList loaded(files, clock);
    loaded.LoadFromFile(name);
    EXPECT_EQ(loaded.Compression, std::string(name) != "plain.qrp") << name;
    EXPECT_EQ(loaded.GetPage(2), added[1]) << name;
    EXPECT_EQ(loaded.GetPage(1), added[0]) << name;
  }
}

TEST_F(PageStore, StoreOfAStoppedRunKeepsCountOneAndLoadsItsFirstPage) {
  const Bytes first = MetafileImage(1, 1);
  pages.AddPage(first);
  pages.AddPage(MetafileImage(2, 2));
  pages.AddPage(MetafileImage(3, 3));  // no Finish: the run was stopped
  pages.SaveToFile("stopped.qrp");
  EXPECT_EQ(LoadInt32(&files.Bytes("stopped.qrp")[8]), 1);

  TQRPageList loaded(files, clock);
  loaded.LoadFromFile("stopped.qrp");
  EXPECT_EQ(loaded.PageCount, 1);
  EXPECT_EQ(loaded.GetPage(1), first);
  EXPECT_FALSE(loaded.GetPage(2).has_value());
}

TEST_F(PageStore, FileWithRecordsBeyondItsCountShowsTheCountedPages) {
  const auto added = AddPages(5);
  Bytes file = Content();
  StoreInt32(&file[8], 3);
  files.Put("count3.qrp", file);
  TQRPageList loaded(files, clock);
  loaded.LoadFromFile("count3.qrp");
  ASSERT_EQ(loaded.PageCount, 3);
  for (int n : {3, 1, 2, 3}) EXPECT_EQ(loaded.GetPage(n), added[n - 1]) << n;
  EXPECT_FALSE(loaded.GetPage(4).has_value());
}

TEST_F(PageStore, SavingOntoTheLoadedFileKeepsTheReport) {
  const auto added = AddPages(3);
  pages.SaveToFile("report.qrp");
  const Bytes saved = files.Bytes("report.qrp");

  TQRPageList loaded(files, clock);
  loaded.LoadFromFile("report.qrp");
  loaded.SaveToFile("report.qrp");
  EXPECT_EQ(files.Bytes("report.qrp"), saved);
  for (int n : {3, 1, 2}) EXPECT_EQ(loaded.GetPage(n), added[n - 1]);
}

TEST_F(PageStore, FailedSaveLeavesTheOldFileUnchanged) {
  AddPages(3);
  files.Put("report.qrp", Bytes{1, 2, 3});
  files.failAfterWrites = 0;
  EXPECT_THROW(pages.SaveToFile("report.qrp"), fw::Exception);
  EXPECT_EQ(files.Bytes("report.qrp"), (Bytes{1, 2, 3}));
  EXPECT_EQ(pages.Stream()->Position(), pages.Stream()->Size());
}

TEST_F(PageStore, RefusedFileLeavesTheCurrentReportInPlace) {
  const auto added = AddPages(2);
  files.Put("short.qrp", Bytes(50, 0));
  try {
    pages.LoadFromFile("short.qrp");
    FAIL() << "a 50-byte file was loaded";
  } catch (const EQRError& e) {
    EXPECT_NE(e.Message().find("short.qrp"), std::string::npos) << e.Message();
  }
  EXPECT_THROW(pages.LoadFromFile("missing.qrp"), fw::Exception);
  EXPECT_EQ(pages.PageCount, 2);
  EXPECT_EQ(pages.GetPage(2), added[1]);
}

// A saved store of three plain pages of 128 bytes: records at 124, 264, 404;
// the file is 544 bytes.
Bytes ThreePlainPages() {
  MemoryFiles files;
  FixedClock clock;
  TQRPageList store(files, clock);
  store.SetStream(std::make_unique<TQRStream>(files, kPageStoreMemoryLimit));
  for (int i = 0; i < 3; ++i) store.AddPage(MetafileImage());
  store.Finish();
  MemoryStream copy;
  store.Stream()->CopyTo(copy);
  return copy.Bytes();
}

Bytes ThreeCodedPages() {
  MemoryFiles files;
  FixedClock clock;
  TQRPageList store(files, clock);
  store.SetStream(std::make_unique<TQRStream>(files, kPageStoreMemoryLimit));
  store.Compression = true;
  for (int i = 0; i < 3; ++i) store.AddPage(MetafileImage(i, 9));
  store.Finish();
  MemoryStream copy;
  store.Stream()->CopyTo(copy);
  return copy.Bytes();
}

struct Damage {
  const char* name;
  bool coded;
  std::size_t offset;
  std::int32_t value;
};

TEST(DamagedPageFile, IsRefusedWithAClearError) {
  const Damage damages[] = {
      {"negative page count", false, 8, -1},
      {"page count beyond the records", false, 8, 4},
      {"huge page count", false, 8, 2147483647},
      {"first page numbered 2", false, 124, 2},
      {"next link pointing at itself", false, 128, 124},
      {"next link pointing backwards", false, 268, 124},
      {"next link outside the file", false, 268, 100000},
      {"next link negative", false, 128, -4},
      {"record tail not its start", false, 260, 200},
      {"last tail outside the file", false, 540, 9999},
      {"metafile signature", false, 124 + 8 + 40, 0x464D4521},
      {"metafile type", false, 124 + 8, 2},
      {"metafile length larger than its record", false, 124 + 8 + 48, 129},
      {"metafile length smaller than its record", false, 264 + 8 + 48, 100},
      {"coded length negative", true, 132, -1},
      {"coded length over eight per coded byte", true, 132, 2147483647},
      {"coded next link pointing backwards", true, 128, 124},
  };
  const Bytes plain = ThreePlainPages();
  const Bytes coded = ThreeCodedPages();
  for (const Damage& d : damages) {
    MemoryFiles files;
    FixedClock clock;
    Bytes file = d.coded ? coded : plain;
    StoreInt32(&file[d.offset], d.value);
    files.Put("damaged.qrp", file);
    TQRPageList pages(files, clock);
    try {
      pages.LoadFromFile("damaged.qrp");
      ADD_FAILURE() << d.name << ": loaded";
    } catch (const EQRError& e) {
      EXPECT_EQ(
          e.Message().rfind("Cannot load the report file \"damaged.qrp\". The report file is damaged: ", 0),
          0u)
          << d.name << ": " << e.Message();
    }
    EXPECT_EQ(pages.Stream(), nullptr) << d.name;
  }
}

TEST(DamagedPageFile, ChangedAfterLoadingGivesErrorsAndNeverLoops) {
  // Others may write a file while it is loaded: every walk checks its links.
  const Bytes plain = ThreePlainPages();
  const Damage damages[] = {
      {"next link to itself", false, 128, 124},
      {"next link backwards", false, 268, 124},
      {"previous link to itself", false, 400, 404},
      {"previous link forwards", false, 400, 404 + 140},
      {"page numbers swapped", false, 264, 3},
      {"last link into the header", false, 540, 0},
  };
  for (const Damage& d : damages) {
    MemoryFiles files;
    FixedClock clock;
    files.Put("changing.qrp", plain);
    TQRPageList pages(files, clock);
    pages.LoadFromFile("changing.qrp");
    StoreInt32(&files.Bytes("changing.qrp")[d.offset], d.value);
    int refused = 0;
    for (int n : {3, 1, 2, 3, 2, 1, 3}) {
      try {
        const auto page = pages.GetPage(n);
        ASSERT_TRUE(page.has_value()) << d.name << ", page " << n;
        EXPECT_EQ(*page, MetafileImage()) << d.name << ", page " << n;
      } catch (const EQRError&) {
        ++refused;
      }
    }
    EXPECT_GT(refused, 0) << d.name;
  }
}

TEST(DamagedPageFile, ShortOrTruncatedFilesAreRefused) {
  const Bytes plain = ThreePlainPages();
  for (std::size_t length :
       {std::size_t{0}, std::size_t{123}, std::size_t{130}, std::size_t{300}, plain.size() - 1}) {
    MemoryFiles files;
    FixedClock clock;
    files.Put("cut.qrp", Bytes(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(length)));
    TQRPageList pages(files, clock);
    EXPECT_THROW(pages.LoadFromFile("cut.qrp"), EQRError) << length << " bytes";
  }
}

TEST(DamagedPageFile, CodedPageWhoseBitsDoNotFillItsRecordIsRefusedOnReading) {
  // The length N passes the loading check, but the coded bytes decode to
  // fewer or more bytes than the record holds.
  const Bytes coded = ThreeCodedPages();
  const std::int32_t firstLength = LoadInt32(&coded[132]);
  for (std::int32_t length : {firstLength - 1, firstLength + 1, firstLength + 40}) {
    MemoryFiles files;
    FixedClock clock;
    Bytes file = coded;
    StoreInt32(&file[132], length);
    files.Put("coded.qrp", file);
    TQRPageList pages(files, clock);
    pages.LoadFromFile("coded.qrp");
    EXPECT_THROW(pages.GetPage(1), EQRError) << length;
    EXPECT_TRUE(pages.GetPage(3).has_value()) << "other pages stay readable";
  }
}

}  // namespace
}  // namespace report
