// Test doubles for the page store: files kept in memory (shared the way open
// files are) and a clock that says what it is told.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "report/pages/streams.h"
#include "report/pages/stream.h"

namespace report::testing {

using FileBytes = std::shared_ptr<std::vector<std::uint8_t>>;

// A stream over a shared byte vector, as an open file handle sees its file.
class FileView : public ByteStream {
 public:
  FileView(FileBytes bytes, bool writable, int* writesLeft)
      : bytes_(std::move(bytes)), writable_(writable), writesLeft_(writesLeft) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    if (position_ >= bytes_->size()) return 0;
    const std::size_t n = std::min(count, bytes_->size() - position_);
    std::copy_n(bytes_->data() + position_, n, static_cast<std::uint8_t*>(buffer));
    position_ += n;
    return n;
  }
  std::size_t Write(const void* buffer, std::size_t count) override {
    if (!writable_) throw StreamError("Stream write error");
    if (writesLeft_ && (*writesLeft_)-- <= 0) throw StreamError("Disk full");
    if (position_ + count > bytes_->size()) bytes_->resize(position_ + count);
    std::copy_n(static_cast<const std::uint8_t*>(buffer), count, bytes_->data() + position_);
    position_ += count;
    return count;
  }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    std::int64_t base = origin == SeekOrigin::Begin     ? 0
                        : origin == SeekOrigin::Current ? static_cast<std::int64_t>(position_)
                                                        : static_cast<std::int64_t>(bytes_->size());
    if (base + offset < 0) throw StreamError("Stream seek error");
    position_ = static_cast<std::size_t>(base + offset);
    return base + offset;
  }

 private:
  FileBytes bytes_;
  bool writable_;
  int* writesLeft_;
  std::size_t position_ = 0;
};

class MemoryFiles : public QRFileService {
 public:
  std::unique_ptr<ByteStream> CreateTemporary(std::string& path) override {
    if (failTemporary) throw StreamError("Cannot create a temporary file");
    path = "QRP" + std::to_string(++temporaryCount) + ".tmp";
    files[path] = std::make_shared<std::vector<std::uint8_t>>();
    return std::make_unique<FileView>(files[path], true, nullptr);
  }
  bool Remove(const std::string& path) noexcept override { return files.erase(path) == 1; }
  std::unique_ptr<ByteStream> OpenShared(const std::string& path) override {
    auto found = files.find(path);
    if (found == files.end()) throw StreamError("Cannot open file \"" + path + "\"");
    return std::make_unique<FileView>(found->second, false, nullptr);
  }
  // Like a new file renamed over the old one: open readers keep the old bytes.
  void WriteReplacing(const std::string& path,
                      const std::function<void(ByteStream&)>& writeContent) override {
    auto fresh = std::make_shared<std::vector<std::uint8_t>>();
    FileView view(fresh, true, failAfterWrites >= 0 ? &failAfterWrites : nullptr);
    writeContent(view);
    files[path] = fresh;
  }

  bool SameFile(const std::string& first, const std::string& second) override {
    return first == second && files.count(first) == 1;
  }

  std::vector<std::uint8_t>& Bytes(const std::string& path) { return *files.at(path); }
  void Put(const std::string& path, std::vector<std::uint8_t> bytes) {
    files[path] = std::make_shared<std::vector<std::uint8_t>>(std::move(bytes));
  }

  std::map<std::string, FileBytes> files;
  int temporaryCount = 0;
  bool failTemporary = false;
  int failAfterWrites = -1;  // writes a save may make before the disk is "full"; -1 never
};

class FixedClock : public LocalClock {
 public:
  double Now() override { return now; }
  double now = 46000.5;
};

}  // namespace report::testing
