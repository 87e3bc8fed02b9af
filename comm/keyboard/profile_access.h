// How INI files are read and written: the system's private-profile functions
// on Windows, a small reader of our own in core tests. Sections and keys match
// without regard to case and values are trimmed, as the system does it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace comm {

class ProfileAccess {
 public:
  virtual ~ProfileAccess() = default;
  virtual std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& fallback) = 0;
  // The leading decimal digits of the value; `fallback` when there are none.
  virtual int ReadInt(const std::string& file, const std::string& section, const std::string& key,
                      int fallback) = 0;
  // A null value deletes the key. False when the file could not be written.
  virtual bool Write(const std::string& file, const std::string& section, const std::string& key,
                     const std::string* value) = 0;
  // The key names of a section in file order; nothing when the file cannot be read.
  virtual std::optional<std::vector<std::string>> SectionKeys(const std::string& file,
                                                              const std::string& section) = 0;
  virtual bool Exists(const std::string& file) = 0;
  // The one path used for every access: a bare name is looked for in the
  // current folder first, then where the system keeps its profiles.
  virtual std::string Resolve(const std::string& file) = 0;
};

// A profile reader over plain files, with the system's semantics (core tests
// and any build without the system's functions).
class TextFileProfile : public ProfileAccess {
 public:
  std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& fallback) override;
  int ReadInt(const std::string& file, const std::string& section, const std::string& key,
              int fallback) override;
  bool Write(const std::string& file, const std::string& section, const std::string& key,
             const std::string* value) override;
  std::optional<std::vector<std::string>> SectionKeys(const std::string& file,
                                                      const std::string& section) override;
  bool Exists(const std::string& file) override;
  std::string Resolve(const std::string& file) override { return file; }
};

}  // namespace comm
