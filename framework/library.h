// Libraries bound at run time: loaded by name when first needed and their
// entry points looked up by name, so a program starts on a system that lacks
// one. The loading goes through a loader the program hands over (the
// system's on Windows); tests hand one that lacks a library or an entry.
#pragma once

#include <cstddef>
#include <vector>

namespace fw {

struct LibraryLoader {
  void* (*load)(const char* name);                  // null on failure
  void* (*entry)(void* library, const char* name);  // null when missing
  void (*unload)(void* library);
};

// One loaded library and its entry points, in the order of their names.
class BoundLibrary {
 public:
  explicit BoundLibrary(std::vector<const char*> entryNames);
  ~BoundLibrary() { Unload(); }
  BoundLibrary(const BoundLibrary&) = delete;
  BoundLibrary& operator=(const BoundLibrary&) = delete;

  // Loads the library through the loader (none: nothing loads) and looks up
  // every entry; false when the library cannot be loaded. An entry the
  // library lacks stays null.
  bool Load(const LibraryLoader* loader, const char* library);
  bool Loaded() const { return library_ != nullptr; }
  void* Entry(std::size_t index) const { return entries_.at(index); }
  // The first name the library lacks, or null when it has them all.
  const char* FirstMissing() const;
  // Frees the library (through the loader that loaded it) and forgets the entries.
  void Unload();

 private:
  std::vector<const char*> names_;
  std::vector<void*> entries_;
  const LibraryLoader* loader_ = nullptr;
  void* library_ = nullptr;
};

}  // namespace fw
