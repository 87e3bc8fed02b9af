// String tables built into the program and the reader over them.
//
// The reader finds its table through a ResourceModule: on Windows the
// program's own RCDATA resources, in tests a set of tables held in memory.
// Failures raise ECvsStringResourceError with the reader's own messages,
// which come from the "ADSRMGR_STRINGS" table when it is open and from
// built-in English texts otherwise, so a reader failure can always be told.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "comm/base/str0_table.h"
#include "framework/exceptions.h"

namespace comm {

class ECvsStringResourceError : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

// Where string tables are found and how their texts reach the ANSI code page.
class ResourceModule {
 public:
  enum class FindResult { kFound, kNotFound, kNotLoaded, kNotLocked };

  virtual ~ResourceModule() = default;
  // Finds the RCDATA resource of that name; on kFound `bytes` stays valid for
  // the life of the module.
  virtual FindResult Find(const std::string& name, std::span<const std::uint8_t>& bytes) = 0;
  virtual std::string ToAnsi(std::u16string_view text) = 0;
};

// Named tables held in memory; names match regardless of case, as resource
// names do. Characters outside ASCII become '?'.
class MemoryResourceModule : public ResourceModule {
 public:
  void Add(std::string name, std::vector<std::uint8_t> bytes);
  FindResult Find(const std::string& name, std::span<const std::uint8_t>& bytes) override;
  std::string ToAnsi(std::u16string_view text) override;

 private:
  std::map<std::string, std::vector<std::uint8_t>> tables_;  // keyed by upper-case name
};

class TAdStringResource {
 public:
  static constexpr std::size_t kMaxNameLength = 255;

  // An empty name gives a reader that is not open.
  TAdStringResource(ResourceModule& module, std::string_view resourceName);
  TAdStringResource(const TAdStringResource&) = delete;
  TAdStringResource& operator=(const TAdStringResource&) = delete;
  ~TAdStringResource() { Close(); }

  // Closes any open table, then opens the named one; stays closed on failure.
  void Open(ResourceModule& module, std::string_view resourceName);
  void Close();
  bool IsOpen() const { return table_.Attached(); }
  const std::string& ResourceName() const { return name_; }

  // The text of `id` in the ANSI code page; a missing id gives "" or, with
  // ReportMissing, raises "String not found: %d". Safe from any thread.
  std::string LookupText(std::uint32_t id) const;

  bool ReportMissing = false;

 private:
  ResourceModule* module_ = nullptr;
  std::string name_;
  Str0Table table_;
};

// Ids of the reader's own messages in "ADSRMGR_STRINGS".
enum class ReaderMessage : std::uint32_t {
  kStringNotFound = 1,  // %d
  kCannotLock = 2,
  kResourceNotFound = 3,  // %s
  kCannotOpen = 4,        // %s
  kInvalidResource = 5,
};

// The reader's message, from the open messages table or the built-in text.
std::string ReaderMessageText(ReaderMessage id);

// Replaces the first `placeholder` ("%d", "%s") in a table text by `value`.
// Table texts are never used as printf formats.
std::string FillPlaceholder(std::string text, std::string_view placeholder, std::string_view value);

// Program start and end: the reader's messages table. A failure to open it is
// not an error; the built-in texts then serve.
void StartReaderMessages(ResourceModule& module);
void FinishReaderMessages();

}  // namespace comm
