#include "setup/translator/translator.h"

#include <fstream>
#include <sstream>

#include "framework/exceptions.h"
#include "setup/base/exceptions.h"

namespace setup::translator {
namespace {

struct LanguageEntry {
  TPmbrLanguage ident;
  const char* name;
  const char* fileName;
};

constexpr std::array<LanguageEntry, TTranslator::kLanguageCount> kLanguages{{
    {plChineseSimplified, "BM_LANG_SIMPCHINESE", "pmbiChineseSimplified.txt"},
    {plCzech, "BM_LANG_CZECH", "pmbiCzech.txt"},
    {plDanish, "BM_LANG_DANISH", "pmbiDanish.txt"},
    {plEnglish, "BM_LANG_ENGLISH", "pmbiEnglish.txt"},
    {plFrench, "BM_LANG_FRENCH", "pmbiFrench.txt"},
    {plGerman, "BM_LANG_GERMAN", "pmbiGerman.txt"},
    {plGreek, "BM_LANG_GREEK", "pmbiGreek.txt"},
    {plHebrew, "BM_LANG_HEBREW", "pmbiHebrew.txt"},
    {plItalian, "BM_LANG_ITALIAN", "pmbiItalian.txt"},
    {plJapanese, "BM_LANG_JAPANESE", "pmbiJapanese.txt"},
    {plKorean, "BM_LANG_KOREAN", "pmbiKorean.txt"},
    {plPolish, "BM_LANG_POLISH", "pmbiPolish.txt"},
    {plPortugese, "BM_LANG_PORTUGESE", "pmbiPortugese.txt"},
    {plRussian, "BM_LANG_RUSSIAN", "pmbiRussian.txt"},
    {plSpanish, "BM_LANG_SPANISH", "pmbiSpanish.txt"},
    {plVietnamese, "BM_LANG_VIETNAMESE", "pmbiVietnamese.txt"},
}};

TTranslator* globalTranslator = nullptr;
UserLangIdSource userLangIdSource = nullptr;

// Without the system's comparison only the letters A to Z fold.
bool SameTextAToZ(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
    if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

TextComparison textComparison = nullptr;

bool SameTextNeutral(const std::string& a, const std::string& b) {
  return textComparison ? textComparison(a, b) : SameTextAToZ(a, b);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  return text;
}

// The format codes of a text in order ("%%" is no code).
std::string FormatCodes(const std::string& text) {
  std::string codes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (i + 1 < text.size() && text[i + 1] == '%') {
      ++i;
      continue;
    }
    codes += i + 1 < text.size() ? text[i + 1] : '%';
    ++i;
  }
  return codes;
}

// Installer messages are formats: a translation that asks for other
// arguments than the English text would misreport, so it is not used.
std::string TranslateMessage(const std::string& english) {
  std::string translated = TranslateString(english);
  return FormatCodes(translated) == FormatCodes(english) ? translated : english;
}

}  // namespace

// --- TLangFormatStrings ---

void TLangFormatStrings::Changed() {
  if (language_.parseOnChange_) language_.Parse();
}

int TLangFormatStrings::Add(const std::string& line) {
  lines_.push_back(line);
  Changed();
  return Count() - 1;
}

void TLangFormatStrings::AddStrings(const std::vector<std::string>& lines) {
  lines_.insert(lines_.end(), lines.begin(), lines.end());
  Changed();
}

void TLangFormatStrings::Clear() {
  lines_.clear();
  Changed();
}

void TLangFormatStrings::Insert(int index, const std::string& line) {
  if (index < 0 || index > Count()) throw fw::Exception(fw::Format("List index out of bounds (%d)", {index}));
  lines_.insert(lines_.begin() + index, line);
  Changed();
}

void TLangFormatStrings::Move(int from, int to) {
  if (from == to) return;
  if (from < 0 || from >= Count() || to < 0 || to >= Count())
    throw fw::Exception(
        fw::Format("List index out of bounds (%d)", {from < 0 || from >= Count() ? from : to}));
  std::string line = std::move(lines_[static_cast<size_t>(from)]);
  lines_.erase(lines_.begin() + from);
  lines_.insert(lines_.begin() + to, std::move(line));
  Changed();
}

void TLangFormatStrings::LoadFromStream(std::istream& stream) {
  std::string all((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  lines_.clear();
  std::string line;
  for (size_t i = 0; i < all.size(); ++i) {
    const char c = all[i];
    if (c == '\r' || c == '\n') {
      lines_.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < all.size() && all[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines_.push_back(std::move(line));
  Changed();
}

void TLangFormatStrings::Assign(const std::vector<std::string>& lines) {
  language_.parseOnChange_ = false;
  lines_ = lines;
  language_.parseOnChange_ = true;
  language_.Parse();
}

void TLangFormatStrings::LoadFromFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw fw::EInOutError(2, "Cannot open file \"" + path + "\"");
  language_.parseOnChange_ = false;
  try {
    LoadFromStream(file);
  } catch (...) {
    language_.parseOnChange_ = true;
    throw;
  }
  language_.parseOnChange_ = true;
  language_.Parse();
}

void TLangFormatStrings::Delete(int index) {
  if (index < 0 || index >= Count())
    throw fw::Exception(fw::Format("List index out of bounds (%d)", {index}));
  lines_.erase(lines_.begin() + index);
  for (auto& parsed : language_.parsed_.Strings)
    if (parsed.LineNumber > index) --parsed.LineNumber;
}

// --- TLanguage ---

TLanguage::TLanguage(TTranslator& translator, std::string name, std::string fileName, TPmbrLanguage ident)
    : translator_(translator),
      name_(std::move(name)),
      fileName_(std::move(fileName)),
      ident_(ident),
      strings_(*this) {}

void TLanguage::Parse() {
  parsed_ = {};
  parsed_ = ParseLanguageText(strings_.Lines());
}

const LanguageString* TLanguage::StringByText(const std::string& text) const {
  for (const auto& entry : parsed_.Strings)
    if (SameTextNeutral(entry.Text, text)) return &entry;
  return nullptr;
}

const LanguageString* TLanguage::StringByGlid(std::int32_t glid) const {
  for (const auto& entry : parsed_.Strings)
    if (entry.Glid == glid) return &entry;
  return nullptr;
}

const LanguageMemo* TLanguage::MemoByLines(const std::vector<std::string>& lines) const {
  const std::string wanted = Joined(lines);
  for (const auto& memo : parsed_.Memos)
    if (Joined(memo.Lines) == wanted) return &memo;
  return nullptr;
}

const LanguageMemo* TLanguage::MemoByGlid(std::int32_t glid) const {
  for (const auto& memo : parsed_.Memos)
    if (memo.Glid == glid) return &memo;
  return nullptr;
}

// --- the user's language ---

TPmbrLanguage LanguageOfLangId(std::uint16_t langId) {
  switch (langId & 0x3FF) {
    case 4:
      return plChineseSimplified;
    case 5:
      return plCzech;
    case 6:
      return plDanish;
    case 7:
      return plGerman;
    case 8:
      return plGreek;
    case 10:
      return plSpanish;
    case 12:
      return plFrench;
    case 13:
      return plHebrew;
    case 16:
      return plItalian;
    case 17:
      return plJapanese;
    case 18:
      return plKorean;
    case 21:
      return plPolish;
    case 22:
      return plPortugese;
    case 25:
      return plRussian;
    case 42:
      return plVietnamese;
    default:
      return plEnglish;
  }
}

void SetUserLangIdSource(UserLangIdSource source) { userLangIdSource = source; }

void SetTextComparison(TextComparison comparison) { textComparison = comparison; }

TPmbrLanguage UserLanguage() { return userLangIdSource ? LanguageOfLangId(userLangIdSource()) : plEnglish; }

// --- TTranslator ---

TTranslator::TTranslator(fw::TComponent* owner) : fw::TComponent(owner) {
  for (const auto& entry : kLanguages) {
    languages_.push_back(std::make_unique<TLanguage>(*this, entry.name, entry.fileName, entry.ident));
    list_.push_back(languages_.back().get());
  }
  if (!globalTranslator) {
    globalTranslator = this;
    SetTranslateHook(&TranslateMessage);
  }
}

TTranslator::~TTranslator() {
  if (globalTranslator == this) {
    globalTranslator = nullptr;
    SetTranslateHook(nullptr);
  }
}

TLanguage& TTranslator::Language(TPmbrLanguage ident) {
  TLanguage* language = LanguageByIdent(ident);
  if (!language) throw fw::Exception("Unrecognized language");
  return *language;
}

void TTranslator::SetTranslateIntoLanguage(TPmbrLanguage language) {
  into_ = language;
  if (OnChange) OnChange(this);
}

TLanguage* TTranslator::LanguageByIdent(TPmbrLanguage ident) const {
  for (TLanguage* language : list_)
    if (language->LanguageIdent() == ident) return language;
  return nullptr;
}

TLanguage* TTranslator::SourceLanguage(TPmbrLanguage ident) const {
  return LanguageByIdent(ident == plUser ? UserLanguage() : ident);
}

TLanguage* TTranslator::TargetLanguage() const { return SourceLanguage(into_); }

std::string TTranslator::TranslateText(TPmbrLanguage source, const std::string& text) const {
  const TLanguage* from = SourceLanguage(source);
  if (!from) return text;
  const LanguageString* found = from->StringByText(text);
  if (!found) return text;
  const TLanguage* to = TargetLanguage();
  if (!to) return text;
  const LanguageString* translated = to->StringByGlid(found->Glid);
  return translated ? translated->Text : text;
}

std::string TTranslator::TranslateByGLID(std::int32_t glid, const std::string& text) const {
  const TLanguage* to = TargetLanguage();
  if (!to) return text;
  const LanguageString* translated = to->StringByGlid(glid);
  return translated ? translated->Text : text;
}

void TTranslator::TranslateMemo(TPmbrLanguage source, const std::vector<std::string>& lines,
                                std::vector<std::string>& result) const {
  result = lines;
  const TLanguage* from = SourceLanguage(source);
  const TLanguage* to = TargetLanguage();
  if (!from || !to) return;
  const LanguageMemo* found = from->MemoByLines(lines);
  if (!found) return;
  if (const LanguageMemo* translated = to->MemoByGlid(found->Glid)) result = translated->Lines;
}

TTranslator* GlobalTranslator() { return globalTranslator; }

std::string TranslateString(const std::string& text) {
  return globalTranslator ? globalTranslator->TranslateText(plEnglish, text) : text;
}

}  // namespace setup::translator
