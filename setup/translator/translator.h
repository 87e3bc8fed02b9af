// The installer's translator: one language object per language, each with
// its language text, and the translation of single texts and memos from one
// language into the chosen one. The first translator created serves every
// installer message.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "framework/component.h"
#include "setup/translator/language_text.h"

namespace setup::translator {

enum TPmbrLanguage {
  plChineseSimplified,
  plCzech,
  plDanish,
  plEnglish,
  plFrench,
  plGerman,
  plGreek,
  plHebrew,
  plItalian,
  plJapanese,
  plKorean,
  plPolish,
  plPortugese,
  plRussian,
  plSpanish,
  plUser,
  plVietnamese
};

class TLanguage;

// The language text of one language; every change re-parses it.
class TLangFormatStrings {
 public:
  explicit TLangFormatStrings(TLanguage& language) : language_(language) {}

  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& operator[](int index) const { return lines_.at(static_cast<size_t>(index)); }
  const std::vector<std::string>& Lines() const { return lines_; }

  int Add(const std::string& line);
  void AddStrings(const std::vector<std::string>& lines);
  void Clear();
  void Insert(int index, const std::string& line);
  void Move(int from, int to);
  // Line breaks CR LF, LF or CR.
  void LoadFromStream(std::istream& stream);
  void Assign(const std::vector<std::string>& lines);
  void LoadFromFile(const std::string& path);
  // Leaves the parsed entries, moving those after the line up by one.
  void Delete(int index);

 private:
  void Changed();
  TLanguage& language_;
  std::vector<std::string> lines_;
};

// A font description a language gives its forms when FontOverride is set.
struct LanguageFont {
  std::string Name = "Arial";
  int Size = 8;
  int Charset = 0;
};

class TTranslator;

class TLanguage {
 public:
  TLanguage(TTranslator& translator, std::string name, std::string fileName, TPmbrLanguage ident);

  TTranslator& Translator() const { return translator_; }
  const std::string& LanguageName() const { return name_; }
  const std::string& FileName() const { return fileName_; }
  TPmbrLanguage LanguageIdent() const { return ident_; }
  TLangFormatStrings& Strings() { return strings_; }
  const TLangFormatStrings& Strings() const { return strings_; }

  LanguageFont Font;
  bool FontOverride = false;

  const std::vector<LanguageString>& ParsedStrings() const { return parsed_.Strings; }
  const std::vector<LanguageMemo>& ParsedMemos() const { return parsed_.Memos; }

  const LanguageString* StringByText(const std::string& text) const;
  const LanguageString* StringByGlid(std::int32_t glid) const;
  const LanguageMemo* MemoByLines(const std::vector<std::string>& lines) const;
  const LanguageMemo* MemoByGlid(std::int32_t glid) const;

 private:
  friend class TLangFormatStrings;
  // On a malformed text the language is left without parsed entries.
  void Parse();

  TTranslator& translator_;
  std::string name_, fileName_;
  TPmbrLanguage ident_;
  TLangFormatStrings strings_;
  ParsedLanguageText parsed_;
  bool parseOnChange_ = true;
};

// The primary-language part of a Windows language identifier mapped to a
// language; anything unknown is English.
TPmbrLanguage LanguageOfLangId(std::uint16_t langId);

// Where the user's language identifier comes from: the system's user default
// on Windows (see UseSystemUserLanguage), a fixed value in tests. Without a
// source the user speaks English.
using UserLangIdSource = std::uint16_t (*)();
void SetUserLangIdSource(UserLangIdSource source);

// How texts are matched without regard to letter case: the system's
// locale-neutral comparison on Windows (see UseSystemTextComparison); without
// one only the letters A to Z fold.
using TextComparison = bool (*)(const std::string& a, const std::string& b);
void SetTextComparison(TextComparison comparison);
TPmbrLanguage UserLanguage();

class TTranslator : public fw::TComponent {
 public:
  explicit TTranslator(fw::TComponent* owner);
  ~TTranslator() override;

  static constexpr int kLanguageCount = 16;
  const std::vector<TLanguage*>& Languages() const { return list_; }
  TLanguage& Language(TPmbrLanguage ident);  // plUser has none: raises

  TPmbrLanguage TranslateIntoLanguage() const { return into_; }
  void SetTranslateIntoLanguage(TPmbrLanguage language);
  std::function<void(TTranslator*)> OnChange;

  TLanguage* TargetLanguage() const;
  TLanguage* LanguageByIdent(TPmbrLanguage ident) const;

  std::string TranslateText(TPmbrLanguage source, const std::string& text) const;
  std::string TranslateByGLID(std::int32_t glid, const std::string& text) const;
  void TranslateMemo(TPmbrLanguage source, const std::vector<std::string>& lines,
                     std::vector<std::string>& result) const;

 private:
  // plUser resolved to the user's language object.
  TLanguage* SourceLanguage(TPmbrLanguage ident) const;

  std::vector<std::unique_ptr<TLanguage>> languages_;
  std::vector<TLanguage*> list_;
  TPmbrLanguage into_ = plUser;
};

// The first translator created, while it exists.
TTranslator* GlobalTranslator();

// English text into the global translator's language; the text itself
// without a translator.
std::string TranslateString(const std::string& text);

}  // namespace setup::translator
