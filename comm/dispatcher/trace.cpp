#include "comm/dispatcher/trace.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "comm/base/error_codes.h"

namespace comm {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr std::size_t kTraceLineWidth = 78;
constexpr std::size_t kLogPrefixWidth = 44;

void PutU32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(const std::uint8_t* at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | at[i];
  return value;
}

}  // namespace

std::string RenderedTraceByte(std::uint8_t byte, bool hex) {
  const std::uint8_t firstPrintable = hex ? 0x21 : 0x20;
  if (byte >= firstPrintable && byte <= 0x7E) return std::string(1, static_cast<char>(byte));
  char text[8];
  if (hex) {
    std::snprintf(text, sizeof text, "[%02X]", byte);
  } else {
    std::snprintf(text, sizeof text, "[%u]", byte);
  }
  return text;
}

int TraceRing::Start(std::uint32_t entries) {
  if (!buffer_.empty()) {
    Clear();
  } else {
    // A trace of no entries has nowhere to write and nothing to wrap at.
    if (entries == 0 || entries > kMaxTraceEntries) return codes::kBadArgument;
    buffer_.assign(std::size_t{entries} * 2, 0);
    size_ = entries;
    Clear();
  }
  on_ = true;
  return 0;
}

void TraceRing::Add(std::uint8_t kind, std::uint8_t byte) {
  if (buffer_.empty()) return;
  buffer_[std::size_t{position_} * 2] = kind;
  buffer_[std::size_t{position_} * 2 + 1] = byte;
  if (++position_ >= size_) {
    position_ = 0;
    wrapped_ = true;
  }
}

void TraceRing::Clear() {
  position_ = 0;
  wrapped_ = false;
}

void TraceRing::Stop() {
  on_ = false;
  std::vector<std::uint8_t>().swap(buffer_);
  size_ = 0;
  Clear();
}

std::string TraceRing::Render(bool hex) const {
  std::string out;
  const std::size_t count = EntryCount();
  const std::size_t start = wrapped_ ? position_ : 0;
  std::size_t column = 0;
  int previousKind = -1;
  for (std::size_t n = 0; n < count; ++n) {
    const std::size_t entry = (start + n) % size_;
    const std::uint8_t kind = buffer_[entry * 2];
    const std::uint8_t byte = buffer_[entry * 2 + 1];
    if (kind != previousKind) {
      if (previousKind >= 0) {
        out += kLineEnd;
        out += kLineEnd;
      }
      if (kind == kTraceTransmitted) {
        out += "Transmit: ";
      } else if (kind == kTraceReceived) {
        out += "Receive: ";
      } else {
        out += "Special-";
        out += static_cast<char>(kind);
        out += ": ";
      }
      out += kLineEnd;
      column = 0;
      previousKind = kind;
    }
    const std::string shown = RenderedTraceByte(byte, hex);
    column += shown.size();
    if (column > kTraceLineWidth) {
      out += kLineEnd;
      column = shown.size();
    }
    out += shown;
  }
  return out;
}

int DispatchLogRing::Start(std::uint32_t bytes) {
  if (ring_.empty()) {
    if (bytes == 0 || bytes > kMaxLogBytes) return codes::kBadArgument;
    ring_.assign(bytes, 0);
  }
  Clear();
  on_ = true;
  return 0;
}

void DispatchLogRing::Clear() {
  head_ = tail_ = 0;
  free_ = ring_.size();
}

void DispatchLogRing::Stop() {
  on_ = false;
  std::vector<std::uint8_t>().swap(ring_);
  Clear();
}

void DispatchLogRing::CopyIn(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return;
  const std::size_t first = std::min(bytes.size(), ring_.size() - head_);
  std::memcpy(ring_.data() + head_, bytes.data(), first);
  std::memcpy(ring_.data(), bytes.data() + first, bytes.size() - first);
  head_ = (head_ + bytes.size()) % ring_.size();
  free_ -= bytes.size();
}

void DispatchLogRing::CopyOut(std::size_t from, std::span<std::uint8_t> into) const {
  if (into.empty()) return;
  const std::size_t first = std::min(into.size(), ring_.size() - from);
  std::memcpy(into.data(), ring_.data() + from, first);
  std::memcpy(into.data() + first, ring_.data(), into.size() - first);
}

bool DispatchLogRing::DropOldest() {
  const std::size_t used = ring_.size() - free_;
  if (used < kLogHeaderSize) return false;
  std::uint8_t header[kLogHeaderSize];
  CopyOut(tail_, header);
  // Entries are written whole, so the length always fits; stay bounded anyway.
  const std::size_t length = std::min<std::size_t>(GetU32(header + 12), used - kLogHeaderSize);
  tail_ = (tail_ + kLogHeaderSize + length) % ring_.size();
  free_ += kLogHeaderSize + length;
  return true;
}

void DispatchLogRing::Add(std::uint8_t kind, std::uint8_t subkind, std::uint32_t timeMs, std::uint32_t value,
                          std::span<const std::uint8_t> data) {
  if (ring_.empty()) return;
  const std::size_t needed = kLogHeaderSize + data.size();
  if (needed > ring_.size()) return;
  while (free_ < needed && DropOldest()) {
  }
  std::uint8_t header[kLogHeaderSize] = {kind, subkind, 0, 0};
  PutU32(header + 4, timeMs);
  PutU32(header + 8, value);
  PutU32(header + 12, static_cast<std::uint32_t>(data.size()));
  CopyIn(header);
  if (!data.empty()) CopyIn(data);
}

std::vector<LogEntry> DispatchLogRing::Entries() const {
  std::vector<LogEntry> entries;
  std::size_t at = tail_;
  std::size_t remaining = ring_.size() - free_;
  while (remaining >= kLogHeaderSize) {
    std::uint8_t header[kLogHeaderSize];
    CopyOut(at, header);
    LogEntry entry;
    entry.kind = header[0];
    entry.subkind = header[1];
    entry.timeMs = GetU32(header + 4);
    entry.value = GetU32(header + 8);
    const std::size_t length = std::min<std::size_t>(GetU32(header + 12), remaining - kLogHeaderSize);
    at = (at + kLogHeaderSize) % ring_.size();
    entry.data.resize(length);
    CopyOut(at, entry.data);
    at = (at + length) % ring_.size();
    remaining -= kLogHeaderSize + length;
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string LogTimeText(std::uint32_t milliseconds) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%07u", milliseconds);
  std::string text = digits;
  text.insert(text.size() - 3, ".");  // seconds stay right however long the port is open
  return text;
}

std::string RenderLog(const std::vector<LogEntry>& entries, bool hex, const LogFileHeading& heading,
                      const LogTextLookup& text) {
  std::string out;
  out += "CVL v2.57";
  out += kLineEnd;
  out += "Compiler : " + heading.compiler + kLineEnd;
  out += "Operating System : " + heading.operatingSystem.substr(0, 80) + kLineEnd;
  out += text(15501) + kLineEnd;
  out += text(15502) + kLineEnd;
  static const char* const kStatusTypeWords[] = {"(Not active)",         "(Modem status)",
                                                 "(Line status)",        "(Output buffer free)",
                                                 "(Output buffer used)", "(Output sent)"};
  for (const LogEntry& entry : entries) {
    const std::string kindWord = text(15001 + entry.kind);
    const std::string subkindWord = entry.subkind != 0 ? text(15100 + entry.subkind) : std::string();
    char prefix[128];
    std::snprintf(prefix, sizeof prefix, "%8s  %-8s  %-12s  %08X  ", LogTimeText(entry.timeMs).c_str(),
                  kindWord.c_str(), subkindWord.c_str(), entry.value);
    out += prefix;
    if (!entry.data.empty()) {
      if ((entry.kind == 5 || entry.kind == 6) && entry.subkind == 15) {
        const std::uint8_t type = entry.data[0];
        if (type < std::size(kStatusTypeWords)) out += kStatusTypeWords[type];
      } else {
        // Data runs from column 45 to column 78 at most.
        std::size_t column = kLogPrefixWidth + 1;
        for (std::uint8_t byte : entry.data) {
          const std::string shown = RenderedTraceByte(byte, hex);
          if (column + shown.size() > kTraceLineWidth + 1) {
            out += kLineEnd;
            out.append(kLogPrefixWidth, ' ');
            column = kLogPrefixWidth + 1;
          }
          out += shown;
          column += shown.size();
        }
      }
    }
    out += kLineEnd;
  }
  return out;
}

int WriteDumpFile(const std::string& name, std::string_view text, bool append) {
  errno = 0;
  std::FILE* file = std::fopen(name.c_str(), append ? "ab" : "wb");
  auto systemError = [] {
    switch (errno) {
      case ENOENT:
        return 3;  // path not found
      case EACCES:
        return 5;  // access denied
      case ENOSPC:
        return 112;  // disk full
      default:
        return 29;  // write fault
    }
  };
  if (!file) return systemError();
  const std::size_t written = std::fwrite(text.data(), 1, text.size(), file);
  int result = written == text.size() ? 0 : systemError();
  if (std::fclose(file) != 0 && result == 0) result = systemError();
  return result;
}

}  // namespace comm
