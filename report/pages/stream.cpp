#include "report/pages/stream.h"

#include <vector>

namespace report {

TQRStream::TQRStream(QRFileService& files, std::int32_t memoryLimit)
    : files_(files), memory_(std::make_unique<MemoryStream>()), inMemory_(true), memoryLimit_(memoryLimit) {}

TQRStream::TQRStream(QRFileService& files, const std::string& fileName)
    : files_(files),
      file_(files.OpenShared(fileName)),
      sourceFileName_(fileName),
      inMemory_(false),
      memoryLimit_(0) {}

TQRStream::~TQRStream() {
  std::lock_guard guard(lock_);
  memory_.reset();
  file_.reset();
  if (!temporaryFileName_.empty()) files_.Remove(temporaryFileName_);
}

ByteStream& TQRStream::Live() {
  if (inMemory_) return *memory_;
  return *file_;
}

std::size_t TQRStream::Read(void* buffer, std::size_t count) {
  std::lock_guard guard(lock_);
  return Live().Read(buffer, count);
}

std::size_t TQRStream::Write(const void* buffer, std::size_t count) {
  std::lock_guard guard(lock_);
  const std::size_t written = Live().Write(buffer, count);
  if (inMemory_ && memory_->Bytes().size() > static_cast<std::size_t>(memoryLimit_ < 0 ? 0 : memoryLimit_))
    MoveToTemporaryFile();
  return written;
}

std::int64_t TQRStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::lock_guard guard(lock_);
  return Live().Seek(offset, origin);
}

void TQRStream::MoveToTemporaryFile() {
  std::string name;
  std::unique_ptr<ByteStream> file = files_.CreateTemporary(name);
  try {
    const std::vector<std::uint8_t>& bytes = memory_->Bytes();
    file->WriteExact(bytes.data(), bytes.size());
    // The caller's place in the content is kept exactly, wherever it was.
    file->SetPosition(memory_->Position());
  } catch (...) {
    // The content is still whole in memory; the next write tries again.
    file.reset();
    files_.Remove(name);
    throw;
  }
  file_ = std::move(file);
  temporaryFileName_ = std::move(name);
  memory_.reset();
  inMemory_ = false;
}

void TQRStream::CopyTo(ByteStream& target) {
  std::lock_guard guard(lock_);
  SetPosition(0);
  std::vector<std::uint8_t> block(kCopyBlockSize);
  for (;;) {
    const std::size_t n = Read(block.data(), block.size());
    if (n == 0) break;
    target.WriteExact(block.data(), n);
  }
}

}  // namespace report
