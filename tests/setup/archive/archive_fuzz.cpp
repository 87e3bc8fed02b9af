// Arbitrary bytes as an installer archive: the first byte gives the number of
// disks (1 to 3), the next two the offset of the archive within disk 1, then
// two bytes per disk but the last give each disk's length; the rest is cut
// into the disks. The headers are read, every entry's stats are taken and
// every entry is extracted into a folder of limited room. Anything but a
// clean archive error, or a temporary file left behind, is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "setup/archive/memory_disks.h"
#include "setup/archive/pmbr_compress.h"

namespace {

class NoVersions : public setup::ArchiveVersions {
 public:
  std::string FileVersionOf(const std::string&) override { return ""; }
  int IsFileNewerByVersion(const std::string&, const std::string&, int, double) override { return 2; }
  int IsFileNewerByName(const std::string&, const std::string&, int) override { return 2; }
};

std::size_t Take16(const std::uint8_t*& data, std::size_t& size) {
  if (size < 2) return 0;
  const std::size_t value = data[0] | data[1] << 8;
  data += 2;
  size -= 2;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int disks = 1 + data[0] % 3;
  ++data;
  --size;
  const std::size_t offset = Take16(data, size);
  std::vector<std::size_t> lengths;
  for (int i = 1; i < disks; ++i) lengths.push_back(Take16(data, size));

  setup::MemoryDisks files;
  files.AddDisk("C:", 1 << 20);
  files.TemporaryFolder = "C:\\Temp";
  for (int disk = 1; disk <= disks; ++disk) {
    const std::size_t length = disk < disks ? std::min(lengths[disk - 1], size) : size;
    files.PutFile("A:\\files." + std::to_string(disk), std::vector<std::uint8_t>(data, data + length));
    data += length;
    size -= length;
  }
  files.CreateFolders("C:\\out");

  NoVersions versions;
  setup::TPmbrCompress archive(nullptr, files, versions, nullptr);
  archive.SetCompressedFile("A:\\files.1");
  archive.Offset = static_cast<std::int32_t>(offset);
  archive.OnNewDisk = [](setup::TPmbrCompress*, std::int32_t, std::string&) {};
  std::vector<std::string> names;
  try {
    archive.ReadHeaders();
    setup::TlzhFileStats stats;
    for (int i = 0; i < archive.FileCount() && i < 64; ++i) {
      archive.GetFileStats(i, stats);
      names.push_back(stats.EntryName);
    }
    archive.ExtractDirectory = "C:\\out";
    archive.SetFilesToProcess(names);
    archive.ExtractFiles();
  } catch (const setup::EPmbrCompress&) {
  }
  // A temporary file ("bat" and a number, ".tmp") that no entry is named as.
  for (const std::string& path : files.FileNames()) {
    const std::string name = setup::FileNameOf(path);
    if (name.size() < 8 || name.compare(0, 3, "bat") != 0 || name.compare(name.size() - 4, 4, ".tmp") != 0)
      continue;
    bool entry = false;
    for (const std::string& stored : names)
      entry = entry || setup::SameTextIgnoringCase(setup::FileNameOf(stored), name);
    if (!entry) __builtin_trap();
  }
  return 0;
}
