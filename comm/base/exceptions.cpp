#include "comm/base/exceptions.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace comm {
namespace {

struct ErrorTextSources {
  std::unique_ptr<TAdStringResource> reader;
  SystemMessageSource* system = nullptr;
};

ErrorTextSources& Sources() {
  static ErrorTextSources sources;
  return sources;
}

template <class E>
[[noreturn]] void Raise(int code) {
  throw E(code);
}

std::vector<CodedExceptionKind> BuildKinds() {
  std::vector<CodedExceptionKind> kinds;
  using namespace codes;
#define COMM_APD_FAMILY(Family, ...)                                             \
  for (int code : std::initializer_list<int>{__VA_ARGS__}) {                     \
    kinds.push_back(CodedExceptionKind{code, #Family, #Family, &Raise<Family>}); \
  }
#define COMM_APD_CLASS(Family, Class, ...)                                     \
  for (int code : std::initializer_list<int>{__VA_ARGS__}) {                   \
    kinds.push_back(CodedExceptionKind{code, #Class, #Family, &Raise<Class>}); \
  }
#include "comm/base/exception_table.inc"
#undef COMM_APD_FAMILY
#undef COMM_APD_CLASS
  std::sort(kinds.begin(), kinds.end(),
            [](const CodedExceptionKind& a, const CodedExceptionKind& b) { return a.code < b.code; });
  return kinds;
}

}  // namespace

EAPDException::EAPDException(int code) : fw::Exception(ErrorText(code)), ErrorCode(code) {}

std::span<const CodedExceptionKind> CodedExceptionKinds() {
  static const std::vector<CodedExceptionKind> kinds = BuildKinds();
  return kinds;
}

const CodedExceptionKind* FindCodedExceptionKind(int code) {
  const auto kinds = CodedExceptionKinds();
  const auto found = std::lower_bound(kinds.begin(), kinds.end(), code,
                                      [](const CodedExceptionKind& k, int c) { return k.code < c; });
  return (found != kinds.end() && found->code == code) ? &*found : nullptr;
}

int CheckCode(bool componentLoading, int code) {
  if (code >= 0 || componentLoading) return code;
  if (const CodedExceptionKind* kind = FindCodedExceptionKind(code)) {
    kind->raise(code);
  }
  if (code >= -162 && code <= -2) {
    if (code == -8) throw fw::EOutOfMemory();
    throw fw::EInOutError(-code, ErrorText(code));
  }
  throw EAPDException::CreateWithText("Cvl exception");
}

std::string CleanSystemMessage(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  std::string cleaned;
  cleaned.reserve(text.size());
  for (char c : text) {
    if (c == ' ' && !cleaned.empty() && cleaned.back() == ' ') continue;
    cleaned.push_back(c);
  }
  return cleaned;
}

std::string ErrorText(int code) {
  // 64-bit so that the most negative code has an absolute value too.
  const auto id = static_cast<std::uint32_t>(code < 0 ? -static_cast<std::int64_t>(code) : code);
  ErrorTextSources& sources = Sources();
  std::string text;
  if (sources.reader) text = sources.reader->LookupText(id);
  if (text.empty() && sources.system) text = CleanSystemMessage(sources.system->SystemMessage(id));
  if (text.size() > kMaxErrorTextLength) text.resize(kMaxErrorTextLength);
  return text;
}

void StartErrorTexts(ResourceModule& module, SystemMessageSource* systemMessages) {
  auto reader = std::make_unique<TAdStringResource>(module, "CVL_ERROR_STRINGS_ENGLISH");
  Sources().reader = std::move(reader);
  Sources().system = systemMessages;
}

void FinishErrorTexts() {
  Sources().reader.reset();
  Sources().system = nullptr;
}

}  // namespace comm
