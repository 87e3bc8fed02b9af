#include "framework/library_win.h"

#include <windows.h>

namespace fw {
namespace {

void* Load(const char* name) { return reinterpret_cast<void*>(LoadLibraryA(name)); }
void* Entry(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void Unload(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

const LibraryLoader kSystemLoader{&Load, &Entry, &Unload};

}  // namespace

const LibraryLoader& SystemLibraryLoader() { return kSystemLoader; }

}  // namespace fw
