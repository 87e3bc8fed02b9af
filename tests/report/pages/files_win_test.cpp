#include "report/pages/files_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "report/pages/error.h"

namespace report {
namespace {

using Bytes = std::vector<std::uint8_t>;

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Bytes FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string TempFolder() {
  char folder[1000];
  GetTempPathA(sizeof folder, folder);
  return folder;
}

// A real page: a metafile drawn through GDI, different for each seed.
Bytes DrawnPage(int seed) {
  RECT frame = {0, 0, 21000, 29700};
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  EXPECT_NE(dc, nullptr);
  for (int i = 0; i <= seed % 6; ++i) Rectangle(dc, 10 * i + seed, 20, 300 + 40 * i, 400 + seed);
  const std::string text = "Page " + std::to_string(seed);
  TextOutA(dc, 50, 60, text.c_str(), static_cast<int>(text.size()));
  EnhMetafile metafile(CloseEnhMetaFile(dc));
  return MetafileImageOf(metafile.get());
}

TEST(QRStreamWin32, SpillsToAQrpTemporaryFileThatDiesWithTheStream) {
  Win32QRFiles files;
  std::string name;
  {
    TQRStream stream(files, 100000);
    const Bytes bytes(100000, 0x41);
    stream.WriteExact(bytes.data(), bytes.size());
    ASSERT_TRUE(stream.InMemory());
    stream.SetPosition(40);  // the place in the content survives the move
    const Bytes more(99970, 0x42);
    stream.WriteExact(more.data(), more.size());
    ASSERT_FALSE(stream.InMemory());
    EXPECT_EQ(stream.Position(), 100010);

    name = stream.TemporaryFileName();
    const std::string folder = TempFolder();
    ASSERT_EQ(name.compare(0, folder.size(), folder), 0) << name;
    EXPECT_EQ(name.compare(folder.size(), 3, "QRP"), 0) << name;

    const std::uint8_t last = 0x43;
    stream.WriteExact(&last, 1);
    MemoryStream copy;
    stream.CopyTo(copy);
    Bytes expected(40 + more.size() + 1, 0x42);
    std::fill_n(expected.begin(), 40, 0x41);
    expected.back() = last;
    EXPECT_EQ(copy.Bytes(), expected);
    EXPECT_TRUE(FileExists(name));
  }
  EXPECT_FALSE(FileExists(name)) << name;
}

TEST(QRPageListWin32, RealMetafilesSurviveSaveAndLoad) {
  for (bool compression : {false, true}) {
    Win32QRFiles files;
    Win32LocalClock clock;
    const std::string path = compression ? "pages_coded.qrp" : "pages_plain.qrp";
    std::vector<Bytes> drawn;
    {
      TQRPageList store(files, clock);
      store.SetStream(std::make_unique<TQRStream>(files, kPageStoreMemoryLimit));
      store.Compression = compression;
      for (int i = 1; i <= 5; ++i) {
        drawn.push_back(DrawnPage(i));
        store.AddPage(drawn.back());
      }
      store.Finish();
      store.SaveToFile(path);
    }
    const Bytes saved = FileBytes(path);
    ASSERT_GE(saved.size(), 124u);
    EXPECT_EQ(LoadInt32(&saved[8]), 5);
    EXPECT_EQ(saved[21], compression ? 1 : 0);

    TQRPageList loaded(files, clock);
    loaded.LoadFromFile(path);
    for (int n : {3, 5, 1, 2, 4}) {
      const auto page = loaded.GetPage(n);
      ASSERT_TRUE(page.has_value()) << n;
      EXPECT_EQ(*page, drawn[n - 1]) << n;
      // The system takes the stored bytes back as a metafile.
      EnhMetafile metafile = MetafileFromImage(*page);
      EXPECT_EQ(MetafileImageOf(metafile.get()), drawn[n - 1]) << n;
    }
  }
}

TEST(QRPageListWin32, HeaderTimeIsTheLocalTimeOfWriting) {
  Win32QRFiles files;
  Win32LocalClock clock;
  TQRPageList store(files, clock);
  store.SetStream(std::make_unique<TQRStream>(files, kPageStoreMemoryLimit));
  SYSTEMTIME before;
  GetLocalTime(&before);
  store.Finish();
  MemoryStream copy;
  store.Stream()->CopyTo(copy);
  double written;
  std::memcpy(&written, &copy.Bytes()[12], sizeof written);  // little-endian here
  const double expected = DateTimeFromParts({before.wYear, before.wMonth, before.wDay, before.wHour,
                                             before.wMinute, before.wSecond, before.wMilliseconds});
  EXPECT_NEAR(written, expected, 10.0 / 86400);
}

TEST(QRPageListWin32, SavingOntoTheLoadedFileKeepsItWhole) {
  Win32QRFiles files;
  Win32LocalClock clock;
  const std::string path = "loaded_then_saved.qrp";
  std::vector<Bytes> drawn;
  {
    TQRPageList store(files, clock);
    store.SetStream(std::make_unique<TQRStream>(files, kPageStoreMemoryLimit));
    for (int i = 1; i <= 3; ++i) {
      drawn.push_back(DrawnPage(i));
      store.AddPage(drawn.back());
    }
    store.Finish();
    store.SaveToFile(path);
  }
  const Bytes saved = FileBytes(path);

  TQRPageList loaded(files, clock);
  loaded.LoadFromFile(path);
  loaded.SaveToFile(path);
  // The same file under another name too.
  char fullPath[MAX_PATH];
  ASSERT_NE(GetFullPathNameA(path.c_str(), MAX_PATH, fullPath, nullptr), 0u);
  loaded.SaveToFile(fullPath);
  loaded.SaveToFile("copy_of_loaded.qrp");
  EXPECT_EQ(FileBytes("copy_of_loaded.qrp"), saved);
  EXPECT_EQ(FileBytes(path), saved);
  for (int n : {3, 1, 2}) EXPECT_EQ(loaded.GetPage(n), drawn[n - 1]) << n;
}

TEST(QRPageListWin32, FailedSaveLeavesTheTargetAndNoTemporaryFile) {
  Win32QRFiles files;
  Win32LocalClock clock;
  TQRPageList store(files, clock);
  store.SetStream(std::make_unique<TQRStream>(files, kPageStoreMemoryLimit));
  store.AddPage(DrawnPage(1));
  store.Finish();

  try {
    store.SaveToFile("no_such_folder\\report.qrp");
    FAIL() << "saved into a folder that does not exist";
  } catch (const fw::EInOutError& e) {
    EXPECT_NE(e.Message().find("no_such_folder"), std::string::npos) << e.Message();
  }

  // A read-only target cannot be replaced: it keeps its bytes and no
  // half-written file is left beside it.
  CreateDirectoryA("save_target", nullptr);
  const std::string target = "save_target\\readonly.qrp";
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  WriteFileBytes(target, Bytes{1, 2, 3});
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_THROW(store.SaveToFile(target), fw::EInOutError);
  EXPECT_EQ(FileBytes(target), (Bytes{1, 2, 3}));
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("save_target\\*", &found);
  int entries = 0;
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (found.cFileName[0] != '.') ++entries;
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  EXPECT_EQ(entries, 1);
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(QRPageListWin32, LoadingAMissingFileSaysWhichFile) {
  Win32QRFiles files;
  Win32LocalClock clock;
  TQRPageList store(files, clock);
  try {
    store.LoadFromFile("missing_report.qrp");
    FAIL();
  } catch (const fw::Exception& e) {
    EXPECT_NE(e.Message().find("missing_report.qrp"), std::string::npos) << e.Message();
  }
}

}  // namespace
}  // namespace report
