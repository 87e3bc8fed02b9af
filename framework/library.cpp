#include "framework/library.h"

#include <utility>

namespace fw {

BoundLibrary::BoundLibrary(std::vector<const char*> entryNames)
    : names_(std::move(entryNames)), entries_(names_.size(), nullptr) {}

bool BoundLibrary::Load(const LibraryLoader* loader, const char* library) {
  Unload();
  if (!loader) return false;
  library_ = loader->load(library);
  if (!library_) return false;
  loader_ = loader;
  for (std::size_t i = 0; i < names_.size(); ++i) entries_[i] = loader->entry(library_, names_[i]);
  return true;
}

const char* BoundLibrary::FirstMissing() const {
  for (std::size_t i = 0; i < names_.size(); ++i)
    if (!entries_[i]) return names_[i];
  return nullptr;
}

void BoundLibrary::Unload() {
  if (library_ && loader_) loader_->unload(library_);
  library_ = nullptr;
  loader_ = nullptr;
  entries_.assign(names_.size(), nullptr);
}

}  // namespace fw
