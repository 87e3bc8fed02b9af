// The two diagnostics a dispatcher keeps in memory: the trace (a ring of the
// bytes received and transmitted) and the dispatch log (a ring of timed
// entries), and their text renderings for the "CVL.TRC" and "CVL.LOG" files.
// Neither class locks; the dispatcher holds its state lock around them.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace comm {

inline constexpr std::uint8_t kTraceReceived = 'R';
inline constexpr std::uint8_t kTraceTransmitted = 'T';
inline constexpr std::uint32_t kMaxTraceEntries = 4000000;
inline constexpr std::uint32_t kMaxLogBytes = 16000000;

// A byte as the files show it: printable bytes (0x20, or 0x21 with hex, up to
// '~') as themselves, others as "[0D]" with hex or "[13]" without.
std::string RenderedTraceByte(std::uint8_t byte, bool hex);

class TraceRing {
 public:
  // Empties an existing buffer, else allocates `entries` entries; 0 or more
  // than 4000000 entries give -1002. Tracing is on afterwards.
  int Start(std::uint32_t entries);
  void Add(std::uint8_t kind, std::uint8_t byte);
  void Clear();
  void Stop();  // off, buffer freed
  void Resume() { on_ = !buffer_.empty(); }
  void Pause() { on_ = false; }
  bool On() const { return on_; }
  bool HasBuffer() const { return !buffer_.empty(); }
  std::size_t EntryCount() const { return wrapped_ ? size_ : position_; }

  // The file text, oldest entry first: a heading per block of one kind,
  // blocks apart by an empty line, lines of at most 78 columns, CR LF line
  // ends and none after the last line. Empty when there are no entries.
  std::string Render(bool hex) const;

 private:
  std::vector<std::uint8_t> buffer_;  // kind, byte, kind, byte ...
  std::uint32_t size_ = 0;
  std::uint32_t position_ = 0;
  bool wrapped_ = false;
  bool on_ = false;
};

// One dispatch-log entry as read back from the ring.
struct LogEntry {
  std::uint8_t kind = 0;
  std::uint8_t subkind = 0;
  std::uint32_t timeMs = 0;
  std::uint32_t value = 0;
  std::vector<std::uint8_t> data;
};

inline constexpr std::size_t kLogHeaderSize = 16;

class DispatchLogRing {
 public:
  // Empties an existing ring, else allocates `bytes`; 0 or more than 16000000
  // bytes give -1002. Logging is on afterwards.
  int Start(std::uint32_t bytes);
  // Stores header and data as one unit: an entry larger than the ring is not
  // recorded, and the oldest whole entries make room for it.
  void Add(std::uint8_t kind, std::uint8_t subkind, std::uint32_t timeMs, std::uint32_t value,
           std::span<const std::uint8_t> data);
  void Clear();
  void Stop();
  void Resume() { on_ = !ring_.empty(); }
  void Pause() { on_ = false; }
  bool On() const { return on_; }
  bool HasRing() const { return !ring_.empty(); }
  bool Empty() const { return free_ == ring_.size(); }
  std::size_t FreeBytes() const { return free_; }

  // Every entry, oldest first, without changing the ring.
  std::vector<LogEntry> Entries() const;

 private:
  void CopyIn(std::span<const std::uint8_t> bytes);
  void CopyOut(std::size_t from, std::span<std::uint8_t> into) const;
  bool DropOldest();

  std::vector<std::uint8_t> ring_;
  std::size_t head_ = 0;
  std::size_t tail_ = 0;
  std::size_t free_ = 0;
  bool on_ = false;
};

// The heading of the log file.
struct LogFileHeading {
  std::string compiler;         // after "Compiler : "
  std::string operatingSystem;  // after "Operating System : ", at most 80 characters
};

// Looks up the words of the log (kind 15001 + k, subkind 15100 + s, headings
// 15501 and 15502) in the communications string table.
using LogTextLookup = std::function<std::string(std::uint32_t id)>;

// "%07d" with the point before the last three digits: 123456 -> "0123.456".
std::string LogTimeText(std::uint32_t milliseconds);

// The file text of the log: the heading lines, then one prefix line per entry
// with its data continued on lines indented by 44 spaces; CR LF line ends.
std::string RenderLog(const std::vector<LogEntry>& entries, bool hex, const LogFileHeading& heading,
                      const LogTextLookup& text);

// Writes a dump file: creates or truncates it, or appends with `append` when
// it exists. Returns 0 or the system's error number.
int WriteDumpFile(const std::string& name, std::string_view text, bool append);

}  // namespace comm
