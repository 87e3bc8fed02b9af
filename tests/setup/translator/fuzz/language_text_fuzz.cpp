// Language texts may be loaded from a file: parse two of them (English and a
// target language), then translate texts, memos and installer messages, and
// expand the translated texts' %-codes against a small install tree.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "framework/exceptions.h"
#include "setup/base/exceptions.h"
#include "setup/paths/machine_folders.h"
#include "setup/paths/path_specifiers.h"
#include "setup/translator/translator.h"
#include "tests/setup/install/install_test_support.h"

using namespace setup::translator;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Parts separated by NUL: English text, target text, texts to translate.
  std::string input(reinterpret_cast<const char*>(data), size);
  std::string parts[3];
  int part = 0;
  for (char c : input) {
    if (c == '\0' && part < 2) {
      ++part;
      continue;
    }
    parts[part] += c;
  }
  TTranslator translator(nullptr);
  translator.SetTranslateIntoLanguage(plFrench);
  for (auto [ident, index] : {std::pair{plEnglish, 0}, std::pair{plFrench, 1}}) {
    std::istringstream stream(parts[index]);
    try {
      translator.Language(ident).Strings().LoadFromStream(stream);
    } catch (const fw::Exception&) {
      if (!translator.Language(ident).ParsedStrings().empty()) std::abort();
    }
    for (const auto& entry : translator.Language(ident).ParsedStrings())
      if (entry.Text.size() > kMaxTextLength) std::abort();
  }
  static const bool machineReady = [] {
    setup::MachineAccess access;
    access.WindowsDirectory = [] { return std::string("C:\\WINDOWS"); };
    access.SystemDirectory = [] { return std::string("C:\\WINDOWS\\system32"); };
    access.CurrentDirectory = [] { return std::string("C:\\setup"); };
    setup::SetMachineAccess(access);
    return true;
  }();
  (void)machineReady;
  fw::TComponent form(nullptr);
  setup::EnsureStandardSpecifiers(&form);
  auto* install = new setup::test_support::StandInInstall(&form);
  install->SetDestDir("C:\\Tallimo");
  auto* file = new setup::test_support::StandInFile(&form);
  file->SetContainer(install);
  std::istringstream texts(parts[2]);
  std::vector<std::string> lines;
  for (std::string line; std::getline(texts, line);) {
    lines.push_back(line);
    const std::string translated = translator.TranslateText(plEnglish, line);
    for (setup::TInstallContainer* component : {static_cast<setup::TInstallContainer*>(file),
                                                static_cast<setup::TInstallContainer*>(nullptr)}) {
      try {
        setup::ExpandMetaVariables(translated, component);
      } catch (const setup::EAI&) {
        if (component) std::abort();  // the tree has every folder the codes ask for
      }
    }
    translator.TranslateByGLID(static_cast<std::int32_t>(line.size()), line);
    // Whatever the translation says, a message fills only its own arguments.
    (void)setup::IException(line, {"name", 42}).Message();
  }
  std::vector<std::string> result;
  translator.TranslateMemo(plEnglish, lines, result);
  return 0;
}
