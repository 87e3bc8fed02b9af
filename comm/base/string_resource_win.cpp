#include "comm/base/string_resource_win.h"

#include <windows.h>

#include "comm/base/system_misc_win.h"

namespace comm {
namespace {

class ProgramResourceModule : public ResourceModule {
 public:
  FindResult Find(const std::string& name, std::span<const std::uint8_t>& bytes) override {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10));  // RCDATA
    if (!info) return FindResult::kNotFound;
    HGLOBAL loaded = LoadResource(module, info);
    if (!loaded) return FindResult::kNotLoaded;
    const void* data = LockResource(loaded);
    if (!data) return FindResult::kNotLocked;
    // Resources of the program's image stay mapped while it runs.
    bytes = {static_cast<const std::uint8_t*>(data), SizeofResource(module, info)};
    return FindResult::kFound;
  }

  std::string ToAnsi(std::u16string_view text) override {
    if (text.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int units = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, units, ansi.data(), size, nullptr, nullptr);
    return ansi;
  }
};

class FormatMessageSource : public SystemMessageSource {
 public:
  std::string SystemMessage(std::uint32_t id) override {
    char buffer[256];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        id, 0, buffer, 255, nullptr);
    return std::string(buffer, length);
  }
};

}  // namespace

ResourceModule& ProgramResources() {
  static ProgramResourceModule module;
  return module;
}

SystemMessageSource& SystemMessages() {
  static FormatMessageSource source;
  return source;
}

void StartCommBase() {
  UseSystemTickClock();
  StartReaderMessages(ProgramResources());
  StartErrorTexts(ProgramResources(), &SystemMessages());
}

void FinishCommBase() {
  FinishErrorTexts();
  FinishReaderMessages();
}

}  // namespace comm
