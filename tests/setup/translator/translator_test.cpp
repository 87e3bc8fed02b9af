#include "setup/translator/translator.h"

#include <gtest/gtest.h>

#include <sstream>

#include "framework/exceptions.h"
#include "setup/base/exceptions.h"

namespace setup::translator {
namespace {

std::uint16_t langIdForTest = 0x409;
std::uint16_t LangIdForTest() { return langIdForTest; }

class Translator : public ::testing::Test {
 protected:
  void SetUp() override {
    langIdForTest = 0x409;
    SetUserLangIdSource(&LangIdForTest);
  }
  void TearDown() override { SetUserLangIdSource(nullptr); }
  TTranslator translator{nullptr};
};

TEST_F(Translator, HasSixteenLanguagesInOrderAndNoneForTheUser) {
  ASSERT_EQ(translator.Languages().size(), 16u);
  EXPECT_EQ(translator.Languages()[0]->LanguageName(), "BM_LANG_SIMPCHINESE");
  EXPECT_EQ(translator.Languages()[15]->LanguageIdent(), plVietnamese);
  EXPECT_EQ(translator.Languages()[15]->FileName(), "pmbiVietnamese.txt");
  EXPECT_EQ(translator.LanguageByIdent(plUser), nullptr);
  EXPECT_EQ(translator.TranslateIntoLanguage(), plUser);
  EXPECT_FALSE(translator.Language(plGerman).FontOverride);
}

TEST_F(Translator, TranslatesByTextInAnyCaseKeepingTheLeadingBlank) {
  translator.Language(plEnglish).Strings().Add("10;Welcome");
  translator.Language(plFrench).Strings().Add("10; Bienvenue");
  translator.SetTranslateIntoLanguage(plFrench);
  EXPECT_EQ(translator.TranslateText(plEnglish, "WELCOME"), " Bienvenue");
  EXPECT_EQ(translator.TranslateText(plEnglish, "Goodbye"), "Goodbye");
  EXPECT_EQ(translator.TranslateText(plGerman, "Welcome"), "Welcome");  // German has no texts
  EXPECT_EQ(translator.TranslateByGLID(10, "x"), " Bienvenue");
  EXPECT_EQ(translator.TranslateByGLID(11, "x"), "x");
}

TEST_F(Translator, UserLanguageFollowsTheUserDefaultLanguage) {
  translator.Language(plEnglish).Strings().Add("5;Next >");
  translator.Language(plGerman).Strings().Add("5;Weiter >");
  translator.Language(plHebrew).Strings().Add("5;Hebrew next");
  langIdForTest = 0x0407;  // German (Germany)
  EXPECT_EQ(translator.TranslateByGLID(5, "Next >"), "Weiter >");
  langIdForTest = 0x040D;
  EXPECT_EQ(translator.TranslateByGLID(5, "Next >"), "Hebrew next");
  langIdForTest = 0x0413;  // Dutch: English
  EXPECT_EQ(translator.TranslateByGLID(5, "Next >"), "Next >");
  // plUser as the source language too.
  langIdForTest = 0x0407;
  translator.SetTranslateIntoLanguage(plEnglish);
  EXPECT_EQ(translator.TranslateText(plUser, "weiter >"), "Next >");
}

TEST(LanguageMapping, PrimaryLanguageTable) {
  const std::pair<std::uint16_t, TPmbrLanguage> table[] = {{0x0804, plChineseSimplified},
                                                           {0x0405, plCzech},
                                                           {0x0406, plDanish},
                                                           {0x0C07, plGerman},
                                                           {0x0408, plGreek},
                                                           {0x0C0A, plSpanish},
                                                           {0x040C, plFrench},
                                                           {0x040D, plHebrew},
                                                           {0x0410, plItalian},
                                                           {0x0411, plJapanese},
                                                           {0x0412, plKorean},
                                                           {0x0415, plPolish},
                                                           {0x0816, plPortugese},
                                                           {0x0419, plRussian},
                                                           {0x042A, plVietnamese},
                                                           {0x0409, plEnglish},
                                                           {0x041D, plEnglish},
                                                           {0x0000, plEnglish}};
  for (auto [langId, language] : table) EXPECT_EQ(LanguageOfLangId(langId), language) << std::hex << langId;
}

TEST_F(Translator, ChangeHookRunsAfterTheLanguageIsSet) {
  TPmbrLanguage seen = plUser;
  translator.OnChange = [&](TTranslator* sender) { seen = sender->TranslateIntoLanguage(); };
  translator.SetTranslateIntoLanguage(plPolish);
  EXPECT_EQ(seen, plPolish);
}

TEST_F(Translator, MemosTranslateByTheirExactLines) {
  translator.Language(plEnglish).Strings().Assign({"#20", "Line one", "* note", "Line two", "#"});
  translator.Language(plSpanish).Strings().Assign({"#20;", "Linea uno", "#"});
  translator.SetTranslateIntoLanguage(plSpanish);
  std::vector<std::string> result{"stale"};
  translator.TranslateMemo(plEnglish, {"Line one", "Line two"}, result);
  EXPECT_EQ(result, (std::vector<std::string>{"Linea uno"}));
  translator.TranslateMemo(plEnglish, {"line one", "Line two"}, result);
  EXPECT_EQ(result, (std::vector<std::string>{"line one", "Line two"}));
}

TEST_F(Translator, EveryChangeReparsesAndDeleteOnlyShiftsLineNumbers) {
  auto& strings = translator.Language(plEnglish).Strings();
  strings.Add("1;One");
  strings.Add("2;Two");
  strings.Insert(0, "0;Zero");
  ASSERT_EQ(translator.Language(plEnglish).ParsedStrings().size(), 3u);
  strings.Delete(0);
  const auto& parsed = translator.Language(plEnglish).ParsedStrings();
  ASSERT_EQ(parsed.size(), 3u);  // not parsed again
  EXPECT_EQ(parsed[1].LineNumber, 0);
  EXPECT_EQ(parsed[2].LineNumber, 1);
  strings.Move(1, 0);
  EXPECT_EQ(strings[0], "2;Two");
  EXPECT_EQ(translator.Language(plEnglish).ParsedStrings().size(), 2u);
  std::istringstream stream("3;Three\r\n4;Four\n5;Five");
  strings.LoadFromStream(stream);
  EXPECT_EQ(translator.Language(plEnglish).ParsedStrings().size(), 3u);
  EXPECT_THROW(strings.Add("bad"), fw::Exception);
  EXPECT_TRUE(translator.Language(plEnglish).ParsedStrings().empty());
  strings.Clear();
  EXPECT_TRUE(translator.Language(plEnglish).ParsedStrings().empty());
}

TEST_F(Translator, TheFirstTranslatorTranslatesInstallerMessages) {
  ASSERT_EQ(GlobalTranslator(), &translator);
  TTranslator second(nullptr);
  EXPECT_EQ(GlobalTranslator(), &translator);
  translator.Language(plEnglish).Strings().Assign({"1;Cannot open %s", "2;File %s has %d bytes", "3;Plain"});
  translator.Language(plGerman).Strings().Assign(
      {"1;Kann %s nicht oeffnen", "2;Datei %d hat %s Bytes", "3;Schlicht"});
  translator.SetTranslateIntoLanguage(plGerman);
  EXPECT_EQ(TranslateString("plain"), "Schlicht");
  EXPECT_EQ(IException("Plain").Message(), "Schlicht");
  EXPECT_EQ(IException("Cannot open %s", {"a.txt"}).Message(), "Kann a.txt nicht oeffnen");
  // Codes in another order: the English format is used.
  EXPECT_EQ(IException("File %s has %d bytes", {"a.txt", 3}).Message(), "File a.txt has 3 bytes");
}

TEST(GlobalTranslatorLife, WithoutATranslatorTextsStayAsWritten) {
  EXPECT_EQ(GlobalTranslator(), nullptr);
  EXPECT_EQ(TranslateString("Welcome"), "Welcome");
  {
    TTranslator translator(nullptr);
    translator.Language(plEnglish).Strings().Add("1;Welcome");
    translator.Language(plDanish).Strings().Add("1;Velkommen");
    translator.SetTranslateIntoLanguage(plDanish);
    EXPECT_EQ(IException("Welcome").Message(), "Velkommen");
  }
  EXPECT_EQ(GlobalTranslator(), nullptr);
  EXPECT_EQ(IException("Welcome").Message(), "Welcome");
}

}  // namespace
}  // namespace setup::translator
