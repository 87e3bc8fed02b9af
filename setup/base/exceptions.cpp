#include "setup/base/exceptions.h"

namespace setup {
namespace {

TranslateFunction translateHook = nullptr;

}  // namespace

void SetTranslateHook(TranslateFunction translate) { translateHook = translate; }

std::string Translated(const std::string& english) {
  return translateHook ? translateHook(english) : english;
}

std::string FormatTranslated(const std::string& format, const fw::FormatArgs& args) {
  if (auto text = fw::TryFormat(Translated(format), args)) return *std::move(text);
  if (auto text = fw::TryFormat(format, args)) return *std::move(text);
  return fw::FormatLeniently(format, args);
}

IException::IException(const std::string& message) : ECustomPembrinAbnormal(Translated(message)) {}

IException::IException(const std::string& format, const fw::FormatArgs& args)
    : ECustomPembrinAbnormal(FormatTranslated(format, args)) {}

}  // namespace setup
