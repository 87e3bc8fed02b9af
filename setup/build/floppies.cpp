// The copy of a self-extracting setup onto floppies: the loading program and
// "setup.1" go onto the first disk, and the embedded archive is split over as
// many disks as it needs.
#include <algorithm>
#include <array>
#include <vector>

#include "framework/exceptions.h"
#include "setup/archive/pmbr_compress.h"
#include "setup/base/exceptions.h"
#include "setup/build/busy_cursor.h"
#include "setup/base/text_routines.h"
#include "setup/build/build.h"

namespace setup {
namespace {

constexpr std::size_t kCopyChunk = 8192;


// Bytes `first` to `last` (inclusive) of `source` into a new `targetPath`;
// a file that cannot be made or a short write (a full disk) gives `failure`.
void CopyRange(ArchiveStream& source, std::int64_t first, std::int64_t last, ArchiveFileSystem& files,
               const std::string& targetPath, const char* failure,
               const std::function<void()>& processMessages) {
  auto target = files.Open(targetPath, ArchiveOpenMode::Create);
  if (!target) throw IEInstall(failure);
  source.Seek(first);
  std::vector<std::uint8_t> chunk(kCopyChunk);
  for (std::int64_t at = first; at <= last;) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(kCopyChunk, last - at + 1));
    // The plan keeps every range inside the file; a file that shrank
    // meanwhile is as unreadable as a bad trailer.
    if (source.Read(chunk.data(), n) != n) throw IEInstall(failure);
    if (target->Write(chunk.data(), n) != n) throw IEInstall(failure);
    at += static_cast<std::int64_t>(n);
    if (processMessages) processMessages();
  }
}

}  // namespace

FloppyPlan PlanFloppyTransfer(std::span<const std::uint8_t> trailer, std::int64_t fileSize,
                              const std::string& path) {
  const TExtractionInfo info = DecodeExtractionInfo(trailer, fileSize, path);
  // The self-extractor is the loading program, then "setup.1", then
  // "files.1": parts out of that order would copy pieces of one another.
  if (info.SetupStart <= 0) ExtractionInfoUnreadable(path);
  if (info.HasFiles() && info.FilesStart <= info.SetupEnd) ExtractionInfoUnreadable(path);
  FloppyPlan plan;
  plan.LoaderSize = info.SetupStart;
  plan.SetupStart = info.SetupStart;
  plan.SetupEnd = info.SetupEnd;
  plan.HasFiles = info.HasFiles();
  plan.FilesStart = info.FilesStart;
  plan.FilesEnd = info.FilesEnd;
  return plan;
}

void TransferToFloppies(TCustomInstall& install, BuildSystem& system, const std::string& target) {
  BusyCursor busy;
  if (!install.ArchiveOption())
    throw IEInstall(
        "Sorry... You can only transfer this installation to floppies through the self-extracting file. "
        "Usage "
        "example: setup.exe *TODISK");
  const std::string source = install.GetArchivePath();
  ArchiveFileSystem& files = *system.Files;

  // Everything is checked before the first byte goes to the target.
  auto program = files.Open(source, ArchiveOpenMode::ReadShared);
  if (!program) ExtractionInfoUnreadable(source);
  const std::int64_t size = program->Size();
  std::array<std::uint8_t, kExtractionInfoSize> trailer{};
  if (size < static_cast<std::int64_t>(trailer.size())) ExtractionInfoUnreadable(source);
  program->Seek(size - static_cast<std::int64_t>(trailer.size()));
  if (program->Read(trailer.data(), trailer.size()) != trailer.size()) ExtractionInfoUnreadable(source);
  const FloppyPlan plan = PlanFloppyTransfer(trailer, size, source);

  install.PushStatus(Translated("Transferring this installation to floppies. Please wait..."));
  try {
    CopyRange(*program, 0, plan.LoaderSize - 1, files, AddBackslash(target) + "setup.exe",
              "Cannot create setup.exe on the A drive. Probably not enough room", system.ProcessMessages);
    CopyRange(*program, plan.SetupStart, plan.SetupEnd, files, AddBackslash(target) + "setup.1",
              "Cannot create setup.1 on the A drive. Probably not enough room", system.ProcessMessages);
  } catch (...) {
    install.PopStatus();
    throw;
  }
  install.PopStatus();
  program.reset();
  if (!plan.HasFiles) return;

  // The archive reads the self-extractor without writing to it, and writes
  // the final headers into disk 1 of the target.
  TPmbrCompress archive(nullptr, files, *system.Versions, system.ProcessMessages);
  archive.SetCompressedFile(source);
  archive.Offset = static_cast<std::int32_t>(plan.FilesStart);
  archive.OnNewDisk = [&system, &busy](TPmbrCompress*, std::int32_t disk, std::string&) {
    const bool ok = system.Confirm && busy.WithNormalCursor([&] {
      return system.Confirm(FormatTranslated("Please insert disk %d", {disk}));
    });
    if (!ok) throw IEInstall("Aborted by user");
  };
  archive.SplitToDisks(target, "files.1");
}

bool RunTransferToFloppies(TCustomInstall& install, BuildSystem& system, const std::string& target) {
  try {
    TransferToFloppies(install, system, target);
  } catch (const fw::EAbort&) {
    if (system.ProcessMessages) system.ProcessMessages();
    return false;
  } catch (const std::exception& error) {
    if (system.ShowError) system.ShowError(error.what());
    if (system.ProcessMessages) system.ProcessMessages();
    return false;
  }
  if (system.ProcessMessages) system.ProcessMessages();
  return true;
}

}  // namespace setup
