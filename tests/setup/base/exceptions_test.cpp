#include "setup/base/exceptions.h"

#include <gtest/gtest.h>

#include <map>

namespace setup {
namespace {

std::map<std::string, std::string>& Translations() {
  static std::map<std::string, std::string> texts;
  return texts;
}

std::string TranslateForTest(const std::string& english) {
  const auto found = Translations().find(english);
  return found == Translations().end() ? english : found->second;
}

class SetupExceptions : public ::testing::Test {
 protected:
  void TearDown() override {
    SetTranslateHook(nullptr);
    Translations().clear();
  }
};

TEST_F(SetupExceptions, ClassTreeServesTheCatchClauses) {
  EXPECT_THROW(throw EAIUserAbort(), EAI);
  EXPECT_THROW(throw EpcDiskFull("The disk is full"), EPmbrCompress);
  EXPECT_THROW(throw EpcAborted("Operation aborted by user"), EPembrinAbnormal);
  EXPECT_THROW(throw EAPIRoutines("x"), ECustomPembrinAbnormal);
  EXPECT_THROW(throw IEInstallNetLocNil("x"), IEInstall);
  EXPECT_THROW(throw IEFileRel_NoNetLocation("x"), IEFileRelated);
  EXPECT_THROW(throw IEfcDuplicateFile("x"), IEFileContainer);
  EXPECT_THROW(throw IEAdvertisePanel("x"), ECustomPembrinAbnormal);
  EXPECT_THROW(throw EIRCannotWriteValue("x"), fw::Exception);
  // An abort is not an abnormal end, and a registry failure is neither.
  EXPECT_FALSE((std::is_base_of_v<ECustomPembrinAbnormal, EAIUserAbort>));
  EXPECT_FALSE((std::is_base_of_v<ECustomPembrinAbnormal, EIRCannotWriteValue>));
  EXPECT_FALSE((std::is_base_of_v<IException, EAPIRoutines>));
  EXPECT_EQ(EAIUserAbort().Message(), "Installation aborted by the user");
}

TEST_F(SetupExceptions, WithoutTranslatorMessagesStayEnglish) {
  EXPECT_EQ(IEInstall("Aborted by user").Message(), "Aborted by user");
  EXPECT_EQ(IEInstall("Cannot read the remote list of files: %s", {"C:\\t\\bat1.tmp"}).Message(),
            "Cannot read the remote list of files: C:\\t\\bat1.tmp");
}

TEST_F(SetupExceptions, MessagesAndFormatsPassThroughTheTranslator) {
  SetTranslateHook(TranslateForTest);
  Translations()["Aborted by user"] = "Vom Benutzer abgebrochen";
  Translations()["Please insert disk %d"] = "Bitte Diskette %d einlegen";
  EXPECT_EQ(IEInstall("Aborted by user").Message(), "Vom Benutzer abgebrochen");
  EXPECT_EQ(IEInstall("Please insert disk %d", {2}).Message(), "Bitte Diskette 2 einlegen");
  // Only the message exceptions translate.
  EXPECT_EQ(EAPIRoutines("Aborted by user").Message(), "Aborted by user");
}

TEST_F(SetupExceptions, TranslationThatDoesNotFitTheArgumentsFallsBackToEnglish) {
  SetTranslateHook(TranslateForTest);
  Translations()["Cannot open the file %s"] = "Datei %s nicht lesbar (%s)";
  Translations()["Please insert disk %d"] = "Diskette %s";
  EXPECT_EQ(IEInstall("Cannot open the file %s", {"a.txt"}).Message(), "Cannot open the file a.txt");
  EXPECT_EQ(IEInstall("Please insert disk %d", {2}).Message(), "Please insert disk 2");
  // Even a faulty English format never reads an argument it was not given.
  EXPECT_EQ(IEInstall("Key: %s Ident: %s", {"k"}).Message(), "Key: k Ident: %s");
}

}  // namespace
}  // namespace setup
