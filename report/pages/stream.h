// The page store's stream: lives in memory until its content grows past a byte
// limit, then moves itself to a temporary file. Every call runs under its own
// (recursive) lock, so one caller's seek-and-read sequence is never split.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "report/pages/streams.h"

namespace report {

// The operating system's files as the page store needs them. Failures raise
// an exception derived from fw::Exception with a finished message.
class QRFileService {
 public:
  virtual ~QRFileService() = default;
  // Creates a new empty file with the prefix "QRP" in the system's temporary
  // folder, opened for reading and writing; returns its name through path.
  virtual std::unique_ptr<ByteStream> CreateTemporary(std::string& path) = 0;
  // Removes a file; returns false when it could not.
  virtual bool Remove(const std::string& path) noexcept = 0;
  // Opens an existing file for reading; other openers may read, write or
  // delete it meanwhile.
  virtual std::unique_ptr<ByteStream> OpenShared(const std::string& path) = 0;
  // Writes a whole new content for path: either it all lands and replaces the
  // old file, or the old file stays as it was and an exception says why.
  virtual void WriteReplacing(const std::string& path,
                              const std::function<void(ByteStream&)>& writeContent) = 0;
  // Whether two names lead to one existing file.
  virtual bool SameFile(const std::string& first, const std::string& second) = 0;
};

class TQRStream : public ByteStream {
 public:
  // A stream in memory that spills to a temporary file past memoryLimit bytes.
  TQRStream(QRFileService& files, std::int32_t memoryLimit);
  // An existing file, read only.
  TQRStream(QRFileService& files, const std::string& fileName);
  ~TQRStream() override;
  TQRStream(const TQRStream&) = delete;
  TQRStream& operator=(const TQRStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

  // Copies the whole content from position 0 to target in blocks.
  void CopyTo(ByteStream& target);

  bool InMemory() const { return inMemory_; }
  std::int32_t MemoryLimit() const { return memoryLimit_; }
  // Name of the temporary file once the content has moved there, else empty.
  const std::string& TemporaryFileName() const { return temporaryFileName_; }
  // Name of the existing file the stream was opened on, else empty.
  const std::string& SourceFileName() const { return sourceFileName_; }

  static constexpr std::size_t kCopyBlockSize = 10240;

 private:
  ByteStream& Live();
  void MoveToTemporaryFile();

  std::recursive_mutex lock_;
  QRFileService& files_;
  std::unique_ptr<MemoryStream> memory_;
  std::unique_ptr<ByteStream> file_;
  std::string temporaryFileName_;
  std::string sourceFileName_;
  bool inMemory_;
  std::int32_t memoryLimit_;
};

}  // namespace report
