#include "setup/archive/memory_disks.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <limits>

#include "framework/exceptions.h"

namespace setup {

struct MemoryDisks::Disk {
  std::string root;  // lower case
  std::int64_t capacity;
  std::int64_t used = 0;
};

struct MemoryDisks::Data {
  std::vector<std::uint8_t> bytes;
  Disk* disk;
  double date = 0;
};

namespace {

std::string Normal(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

std::string Key(const std::string& path) {
  std::string key = Normal(path);
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

class MemoryFileStream : public ArchiveStream {
 public:
  MemoryFileStream(std::shared_ptr<MemoryDisks::Data> data, bool writable)
      : data_(std::move(data)), writable_(writable) {}

  std::size_t Read(void* buffer, std::size_t count) override {
    const auto size = static_cast<std::int64_t>(data_->bytes.size());
    if (position_ >= size) return 0;
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count), size - position_));
    std::memcpy(buffer, data_->bytes.data() + position_, n);
    position_ += static_cast<std::int64_t>(n);
    return n;
  }

  std::size_t Write(const void* buffer, std::size_t count) override;

  void Seek(std::int64_t position) override {
    if (position < 0) throw fw::EInOutError(131);
    position_ = position;
  }
  std::int64_t Position() override { return position_; }
  std::int64_t Size() override { return static_cast<std::int64_t>(data_->bytes.size()); }

 private:
  std::shared_ptr<MemoryDisks::Data> data_;
  bool writable_;
  std::int64_t position_ = 0;
};

std::size_t MemoryFileStream::Write(const void* buffer, std::size_t count) {
  if (!writable_) throw fw::EInOutError(5);
  auto& bytes = data_->bytes;
  const auto size = static_cast<std::int64_t>(bytes.size());
  std::int64_t growth = std::max<std::int64_t>(0, position_ + static_cast<std::int64_t>(count) - size);
  std::int64_t allowed = static_cast<std::int64_t>(count);
  if (growth > 0 && data_->disk) {
    const std::int64_t free = std::max<std::int64_t>(0, data_->disk->capacity - data_->disk->used);
    if (growth > free) {
      allowed -= growth - free;
      growth = free;
      // A write that starts beyond a full disk's end moves nothing.
      if (allowed < 0) return 0;
    }
  }
  if (position_ + allowed > size) bytes.resize(static_cast<std::size_t>(position_ + allowed));
  if (allowed > 0) std::memcpy(bytes.data() + position_, buffer, static_cast<std::size_t>(allowed));
  if (data_->disk) data_->disk->used += std::max<std::int64_t>(0, position_ + allowed - size);
  position_ += allowed;
  return static_cast<std::size_t>(allowed);
}

}  // namespace

MemoryDisks::MemoryDisks() {
  disks_.push_back(std::make_unique<Disk>(Disk{"", std::numeric_limits<std::int64_t>::max()}));
}
MemoryDisks::~MemoryDisks() = default;

void MemoryDisks::AddDisk(const std::string& root, std::int64_t capacity) {
  disks_.push_back(std::make_unique<Disk>(Disk{Key(root), capacity}));
}

MemoryDisks::Disk* MemoryDisks::DiskOf(const std::string& path) const {
  const std::string key = Key(path);
  Disk* best = disks_.front().get();
  for (const auto& disk : disks_) {
    const std::string& root = disk->root;
    if (root.empty() || root.size() < best->root.size()) continue;
    if (key.compare(0, root.size(), root) == 0 && (key.size() == root.size() || key[root.size()] == '\\'))
      best = disk.get();
  }
  return best;
}

std::int64_t MemoryDisks::FreeSpace(const std::string& root) const {
  const Disk* disk = DiskOf(root);
  return disk->capacity - disk->used;
}

bool MemoryDisks::FolderExists(const std::string& folder) const {
  const std::string key = Key(folder);
  // Drive roots ("a:") and the current folder always exist.
  if (key.empty() || (key.size() == 2 && key[1] == ':')) return true;
  if (folders_.count(key)) return true;
  for (const auto& disk : disks_)
    if (!disk->root.empty() && disk->root == key) return true;
  return false;
}

void MemoryDisks::PutFile(const std::string& path, const std::vector<std::uint8_t>& bytes, double date) {
  CreateFolders(FolderOf(Normal(path)));
  auto stream = Open(path, ArchiveOpenMode::Create);
  if (!stream || stream->Write(bytes.data(), bytes.size()) != bytes.size())
    throw fw::Exception("No room for " + path);
  SetFileDate(path, date);
}

std::vector<std::uint8_t> MemoryDisks::FileBytes(const std::string& path) const {
  const auto found = files_.find(Key(path));
  if (found == files_.end()) throw fw::Exception("No file " + path);
  return found->second.data->bytes;
}

std::vector<std::string> MemoryDisks::FileNames() const {
  std::vector<std::string> names;
  for (const auto& [key, file] : files_) names.push_back(file.path);
  return names;
}

std::unique_ptr<ArchiveStream> MemoryDisks::Open(const std::string& path, ArchiveOpenMode mode) {
  const std::string key = Key(path);
  auto found = files_.find(key);
  if (mode != ArchiveOpenMode::Create) {
    if (found == files_.end()) return nullptr;
    return std::make_unique<MemoryFileStream>(found->second.data, mode == ArchiveOpenMode::ReadWriteShared);
  }
  if (key.empty() || !FolderExists(FolderOf(Normal(path))) || folders_.count(key)) return nullptr;
  if (found != files_.end()) {
    // Emptying a file gives its room back; open streams see it empty.
    Data& data = *found->second.data;
    if (data.disk) data.disk->used -= static_cast<std::int64_t>(data.bytes.size());
    data.bytes.clear();
    return std::make_unique<MemoryFileStream>(found->second.data, true);
  }
  auto data = std::make_shared<Data>(Data{{}, DiskOf(path)});
  files_[key] = File{Normal(path), data};
  return std::make_unique<MemoryFileStream>(data, true);
}

bool MemoryDisks::Exists(const std::string& path) { return files_.count(Key(path)) != 0; }

bool MemoryDisks::CreateFolders(const std::string& folder) {
  std::string key = Key(folder);
  while (!FolderExists(key)) {
    if (files_.count(key)) return false;
    folders_.insert(key);
    key = Key(FolderOf(key));
  }
  return true;
}

bool MemoryDisks::RenameOver(const std::string& from, const std::string& to) {
  const std::string fromKey = Key(from), toKey = Key(to);
  auto source = files_.find(fromKey);
  if (source == files_.end() || !FolderExists(FolderOf(Normal(to)))) return false;
  if (RefuseRename && RefuseRename(from, to)) return false;
  if (fromKey == toKey) return true;
  std::shared_ptr<Data> data = source->second.data;
  files_.erase(source);
  Delete(to);
  Disk* disk = DiskOf(to);
  if (data->disk != disk) {
    const auto size = static_cast<std::int64_t>(data->bytes.size());
    if (data->disk) data->disk->used -= size;
    disk->used += size;
    data->disk = disk;
  }
  files_[toKey] = File{Normal(to), data};
  return true;
}

bool MemoryDisks::Delete(const std::string& path) {
  auto found = files_.find(Key(path));
  if (found == files_.end()) return false;
  Data& data = *found->second.data;
  if (data.disk) data.disk->used -= static_cast<std::int64_t>(data.bytes.size());
  data.disk = nullptr;  // a stream still open on it no longer counts
  files_.erase(found);
  return true;
}

bool MemoryDisks::GetFileDate(const std::string& path, double& date) {
  auto found = files_.find(Key(path));
  if (found == files_.end()) return false;
  date = found->second.data->date;
  return true;
}

bool MemoryDisks::SetFileDate(const std::string& path, double date) {
  auto found = files_.find(Key(path));
  if (found == files_.end()) return false;
  found->second.data->date = date;
  return true;
}

std::string MemoryDisks::CreateTemporaryFile(const std::string& folder) {
  const std::string where = folder.empty() ? TemporaryFolder : Normal(folder);
  if (folder.empty()) CreateFolders(where);
  for (;;) {
    char name[32];
    std::snprintf(name, sizeof name, "bat%X.tmp", ++temporaryCounter_);
    const std::string path = where + "\\" + name;
    if (Exists(path)) continue;
    if (!Open(path, ArchiveOpenMode::Create)) throw fw::Exception("Cannot create a temporary file");
    return path;
  }
}

}  // namespace setup
