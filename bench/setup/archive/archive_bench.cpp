// The installer archive adding and extracting one set of files (the capture
// program's executable, journal-like text, random bytes) at colDefault and
// colMax, beside zlib level 6 in this process and `gzip -6` on the same
// files in the same run: sizes and speeds, and their ratios.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bench/figures_reporter.h"
#include "setup/archive/memory_disks.h"
#include "setup/archive/pmbr_compress.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The capture program when the Windows build holds it, else this program:
// either way an executable's mix of code, tables and strings.
Bytes Executable() {
  Bytes exe = FileBytes(TALLIMO_SOURCE_ROOT "/build/win64/capture/Tallimo.exe");
  return exe.empty() ? FileBytes("/proc/self/exe") : exe;
}

Bytes Journal(std::size_t size) {
  Bytes bytes;
  char line[128];
  for (int n = 0; bytes.size() < size; ++n) {
    const int length =
        std::snprintf(line, sizeof line, "%04d 09.12.2026 %02d:%02d  SALE  %d x ITEM %05d  %7.2f\r\n", n,
                      8 + n / 600 % 12, n % 60, 1 + n % 4, n * 7919 % 100000, n * 37 % 1000 / 7.0);
    bytes.insert(bytes.end(), line, line + length);
  }
  bytes.resize(size);
  return bytes;
}

Bytes Random(std::size_t size) {
  std::mt19937 random(27);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

struct SourceFile {
  std::string name;
  Bytes bytes;
};

const std::vector<SourceFile>& Sources() {
  static const std::vector<SourceFile> sources = {
      {"Tallimo.exe", Executable()}, {"journal.txt", Journal(4 << 20)}, {"random.bin", Random(1 << 20)}};
  return sources;
}

std::int64_t TotalSize() {
  std::int64_t total = 0;
  for (const auto& file : Sources()) total += static_cast<std::int64_t>(file.bytes.size());
  return total;
}

class NoVersions : public setup::ArchiveVersions {
 public:
  std::string FileVersionOf(const std::string&) override { return ""; }
  int IsFileNewerByVersion(const std::string&, const std::string&, int, double) override { return 2; }
  int IsFileNewerByName(const std::string&, const std::string&, int) override { return 2; }
};

struct ArchiveWorld {
  setup::MemoryDisks disks;
  NoVersions versions;
  setup::TPmbrCompress archive{nullptr, disks, versions, nullptr};
  std::vector<std::string> names;
  explicit ArchiveWorld(setup::TCompressionLevel level) {
    for (const auto& file : Sources()) {
      disks.PutFile("C:\\src\\" + file.name, file.bytes, 36526.5);
      names.push_back("C:\\src\\" + file.name);
    }
    archive.SetCompressedFile("C:\\out\\files.1");
    archive.CompressionLevel = level;
    archive.ExtractDirectory = "C:\\x";
  }
  void Add() {
    auto list = names;
    archive.SetFilesToProcess(list);
    archive.AddFiles(false, 0);
  }
  void Extract() {
    auto list = names;
    archive.SetFilesToProcess(list);
    archive.ExtractFiles();
  }
  double Share() { return static_cast<double>(disks.FileBytes("C:\\out\\files.1").size()) / TotalSize(); }
};

void BM_ArchiveAdd(benchmark::State& state) {
  ArchiveWorld world(static_cast<setup::TCompressionLevel>(state.range(0)));
  for (auto _ : state) world.Add();
  state.counters["bytes_left"] = world.Share();
  state.SetBytesProcessed(state.iterations() * TotalSize());
}

void BM_ArchiveExtract(benchmark::State& state) {
  ArchiveWorld world(static_cast<setup::TCompressionLevel>(state.range(0)));
  world.Add();
  for (auto _ : state) world.Extract();
  for (const auto& file : Sources())
    if (world.disks.FileBytes("C:\\x\\" + file.name) != file.bytes)
      state.SkipWithError("extracted bytes differ");
  state.SetBytesProcessed(state.iterations() * TotalSize());
}

Bytes Deflate6(const Bytes& bytes) {
  uLongf length = compressBound(static_cast<uLong>(bytes.size()));
  Bytes out(length);
  if (compress2(out.data(), &length, bytes.data(), static_cast<uLong>(bytes.size()), 6) != Z_OK) std::abort();
  out.resize(length);
  return out;
}

void BM_Zlib6Deflate(benchmark::State& state) {
  std::size_t packed = 0;
  for (auto _ : state) {
    packed = 0;
    for (const auto& file : Sources()) packed += Deflate6(file.bytes).size();
  }
  state.counters["bytes_left"] = static_cast<double>(packed) / TotalSize();
  state.SetBytesProcessed(state.iterations() * TotalSize());
}

void BM_Zlib6Inflate(benchmark::State& state) {
  std::vector<Bytes> packed;
  for (const auto& file : Sources()) packed.push_back(Deflate6(file.bytes));
  for (auto _ : state) {
    for (std::size_t i = 0; i < packed.size(); ++i) {
      Bytes out(Sources()[i].bytes.size());
      uLongf length = static_cast<uLongf>(out.size());
      if (uncompress(out.data(), &length, packed[i].data(), static_cast<uLong>(packed[i].size())) != Z_OK)
        std::abort();
      benchmark::DoNotOptimize(out);
    }
  }
  state.SetBytesProcessed(state.iterations() * TotalSize());
}

// gzip as a separate process on the same files, written to a folder once.
std::string GzipFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/archive_bench_XXXXXX";
    const std::string made = mkdtemp(pattern);
    for (const auto& file : Sources())
      std::ofstream(made + "/" + file.name, std::ios::binary)
          .write(reinterpret_cast<const char*>(file.bytes.data()),
                 static_cast<std::streamsize>(file.bytes.size()));
    return made;
  }();
  return folder;
}

void BM_Gzip6Compress(benchmark::State& state) {
  const std::string folder = GzipFolder();
  const std::string command = "cd " + folder + " && gzip -6 -k -f -n Tallimo.exe journal.txt random.bin";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("gzip failed");
  std::size_t packed = 0;
  for (const auto& file : Sources()) packed += FileBytes(folder + "/" + file.name + ".gz").size();
  state.counters["bytes_left"] = static_cast<double>(packed) / TotalSize();
  state.SetBytesProcessed(state.iterations() * TotalSize());
}

void BM_Gzip6Decompress(benchmark::State& state) {
  const std::string folder = GzipFolder();
  const std::string command = "cd " + folder +
                              " && gzip -6 -k -f -n Tallimo.exe journal.txt random.bin && mkdir -p x && "
                              "for f in *.gz; do gzip -d -c \"$f\" > x/\"${f%.gz}\"; done";
  const std::string decompress =
      "cd " + folder + " && for f in *.gz; do gzip -d -c \"$f\" > x/\"${f%.gz}\"; done";
  if (std::system(command.c_str()) != 0) state.SkipWithError("gzip failed");
  for (auto _ : state)
    if (std::system(decompress.c_str()) != 0) state.SkipWithError("gzip -d failed");
  state.SetBytesProcessed(state.iterations() * TotalSize());
}

BENCHMARK(BM_ArchiveAdd)
    ->Arg(setup::colDefault)
    ->Arg(setup::colMax)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ArchiveExtract)
    ->Arg(setup::colDefault)
    ->Arg(setup::colMax)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Zlib6Deflate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Zlib6Inflate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Gzip6Compress)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Gzip6Decompress)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return bench::RunAndSummarise(argc, argv, [](const bench::FiguresReporter& f) {
    const std::string level[] = {"colDefault", "colMax"};
    const std::string arg[] = {"/2/real_time", "/3/real_time"};
    std::printf("\nInstaller archive on %lld bytes (executable %zu, journal %zu, random %zu):\n",
                static_cast<long long>(TotalSize()), Sources()[0].bytes.size(), Sources()[1].bytes.size(),
                Sources()[2].bytes.size());
    std::printf("  %-11s %8s %8s %14s %14s %14s %14s\n", "", "size", "size", "add MB/s", "add MB/s",
                "extract MB/s", "extract MB/s");
    std::printf("  %-11s %8s %8s %14s %14s %14s %14s\n", "", "/zlib6", "/gzip6", "/zlib6", "/gzip6", "/zlib6",
                "/gzip6");
    for (int i = 0; i < 2; ++i) {
      const std::string add = "BM_ArchiveAdd" + arg[i], extract = "BM_ArchiveExtract" + arg[i];
      std::printf("  %-11s %8.3f %8.3f %14.3f %14.3f %14.3f %14.3f\n", level[i].c_str(),
                  f.Ratio(add, "BM_Zlib6Deflate/real_time", "bytes_left"),
                  f.Ratio(add, "BM_Gzip6Compress/real_time", "bytes_left"),
                  f.Ratio(add, "BM_Zlib6Deflate/real_time", "bytes_per_second"),
                  f.Ratio(add, "BM_Gzip6Compress/real_time", "bytes_per_second"),
                  f.Ratio(extract, "BM_Zlib6Inflate/real_time", "bytes_per_second"),
                  f.Ratio(extract, "BM_Gzip6Decompress/real_time", "bytes_per_second"));
    }
  });
}
