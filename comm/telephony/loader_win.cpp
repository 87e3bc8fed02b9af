#include "comm/telephony/loader_win.h"

#include <windows.h>

#include "comm/telephony/binding.h"

namespace comm {
namespace {

void* Load(const char* name) { return reinterpret_cast<void*>(LoadLibraryA(name)); }
void* Entry(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void Unload(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

const TapiLoader kSystemLoader{&Load, &Entry, &Unload};

}  // namespace

void UseSystemTapiLoader() { SetTapiLoader(&kSystemLoader); }

}  // namespace comm
