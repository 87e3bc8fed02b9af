// The page coder against zlib (deflate level 6) on the same metafile-like
// pages: throughput of coding and decoding, and the share of bytes left.
#include <benchmark/benchmark.h>

#include "bench/figures_reporter.h"
#include <zlib.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "report/pages/streams.h"
#include "report/pages/compress.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A printed page of journal lines as a metafile records it: a header, then
// per line a font selection, a text record in UTF-16 and a rule under every
// fifth line, then the end record.
Bytes JournalPage(int pageNumber) {
  Bytes page(108, 0);
  page[0] = 1;
  page[4] = 108;
  report::StoreInt32(&page[40], 0x464D4520);
  for (int line = 0; line < 60; ++line) {
    Put32(page, 37), Put32(page, 12), Put32(page, 0x80000000u + 13);  // select a stock font
    char text[96];
    const int length =
        std::snprintf(text, sizeof text, "%04d 09.12.2026 %02d:%02d  SALE  %3d x ITEM %05d  %7.2f EUR",
                      pageNumber * 60 + line, 8 + line / 10, line % 60, 1 + line % 4,
                      (pageNumber * 7919 + line * 104729) % 100000, (line * 37 % 1000) / 7.0);
    const std::uint32_t chars = static_cast<std::uint32_t>(length);
    const std::uint32_t size = 76 + ((chars * 2 + 3) & ~3u);
    Put32(page, 84), Put32(page, size);  // EMR_EXTTEXTOUTW
    Put32(page, 96), Put32(page, 120 + line * 52), Put32(page, 2000), Put32(page, 160 + line * 52);
    Put32(page, 1), Put32(page, 0), Put32(page, 0);
    Put32(page, 96), Put32(page, 120 + line * 52), Put32(page, chars), Put32(page, 76), Put32(page, 0);
    Put32(page, 0), Put32(page, 0), Put32(page, 0), Put32(page, 0), Put32(page, 0);
    for (int i = 0; i < length; ++i) page.push_back(static_cast<std::uint8_t>(text[i])), page.push_back(0);
    while (page.size() % 4) page.push_back(0);
    if (line % 5 == 4) {
      Put32(page, 27), Put32(page, 16), Put32(page, 96), Put32(page, 164 + line * 52);    // EMR_MOVETOEX
      Put32(page, 54), Put32(page, 16), Put32(page, 2000), Put32(page, 164 + line * 52);  // EMR_LINETO
    }
  }
  Put32(page, 14), Put32(page, 20), Put32(page, 0), Put32(page, 16), Put32(page, 20);
  report::StoreInt32(&page[48], static_cast<std::int32_t>(page.size()));
  return page;
}

const std::vector<Bytes>& Pages() {
  static const std::vector<Bytes> pages = [] {
    std::vector<Bytes> made;
    for (int i = 0; i < 8; ++i) made.push_back(JournalPage(i));
    return made;
  }();
  return pages;
}

std::size_t TotalSize() {
  std::size_t total = 0;
  for (const Bytes& page : Pages()) total += page.size();
  return total;
}

Bytes SplayCode(const Bytes& page) {
  report::MemoryStream out;
  report::TQRCompress coder(out, true);
  for (std::uint8_t byte : page) coder.Encode(byte);
  coder.Finish();
  return out.Bytes();
}

Bytes Deflate(const Bytes& page) {
  uLongf length = compressBound(static_cast<uLong>(page.size()));
  Bytes out(length);
  if (compress2(out.data(), &length, page.data(), static_cast<uLong>(page.size()), 6) != Z_OK) std::abort();
  out.resize(length);
  return out;
}

void CodedShare(benchmark::State& state, Bytes (*code)(const Bytes&)) {
  std::size_t coded = 0;
  for (const Bytes& page : Pages()) coded += code(page).size();
  state.counters["bytes_left"] = static_cast<double>(coded) / static_cast<double>(TotalSize());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TotalSize()));
}

void BM_SplayCoderEncode(benchmark::State& state) {
  for (auto _ : state)
    for (const Bytes& page : Pages()) benchmark::DoNotOptimize(SplayCode(page));
  CodedShare(state, SplayCode);
}

void BM_ZlibDeflate6Encode(benchmark::State& state) {
  for (auto _ : state)
    for (const Bytes& page : Pages()) benchmark::DoNotOptimize(Deflate(page));
  CodedShare(state, Deflate);
}

void BM_SplayCoderDecode(benchmark::State& state) {
  std::vector<Bytes> coded;
  for (const Bytes& page : Pages()) coded.push_back(SplayCode(page));
  for (auto _ : state) {
    for (std::size_t p = 0; p < coded.size(); ++p) {
      report::MemoryStream in;
      in.WriteExact(coded[p].data(), coded[p].size());
      in.SetPosition(0);
      report::TQRCompress decoder(in, false);
      Bytes page(Pages()[p].size());
      for (auto& byte : page) byte = decoder.Decode();
      benchmark::DoNotOptimize(page);
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TotalSize()));
}

void BM_ZlibInflate(benchmark::State& state) {
  std::vector<Bytes> coded;
  for (const Bytes& page : Pages()) coded.push_back(Deflate(page));
  for (auto _ : state) {
    for (std::size_t p = 0; p < coded.size(); ++p) {
      Bytes page(Pages()[p].size());
      uLongf length = static_cast<uLongf>(page.size());
      if (uncompress(page.data(), &length, coded[p].data(), static_cast<uLong>(coded[p].size())) != Z_OK)
        std::abort();
      benchmark::DoNotOptimize(page);
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TotalSize()));
}

BENCHMARK(BM_SplayCoderEncode);
BENCHMARK(BM_ZlibDeflate6Encode);
BENCHMARK(BM_SplayCoderDecode);
BENCHMARK(BM_ZlibInflate);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunAndSummarise(
      argc, argv,
      [](const bench::FiguresReporter& figures) {
        std::printf("\nsplay coder / zlib level 6 on %zu bytes of pages:\n", TotalSize());
        std::printf("  coding speed    %.3f\n",
                    figures.Ratio("BM_SplayCoderEncode", "BM_ZlibDeflate6Encode", "bytes_per_second"));
        std::printf("  decoding speed  %.3f\n",
                    figures.Ratio("BM_SplayCoderDecode", "BM_ZlibInflate", "bytes_per_second"));
        std::printf("  bytes left      %.1f%% vs %.1f%% of the page\n",
                    100 * figures.Figure("BM_SplayCoderEncode", "bytes_left"),
                    100 * figures.Figure("BM_ZlibDeflate6Encode", "bytes_left"));
      },
      benchmark::ConsoleReporter::OO_Tabular);
}
