#include "setup/base/text_routines.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

struct FieldCase {
  std::string text;
  char separator;
  int count;
  std::vector<std::string> fields;
};

TEST(TextRoutines, FieldCountSplitFieldsAndGetField) {
  const FieldCase cases[] = {
      {"", ';', 0, {}},
      {"a;b", ';', 2, {"a", "b"}},
      {"a;b;", ';', 2, {"a", "b"}},
      {"a", ';', 1, {"a"}},
      {";", ';', 1, {""}},
      {"a;;b", ';', 3, {"a", "", "b"}},
      {";a", ';', 2, {"", "a"}},
      // Another separator: both the count and the closing test use it.
      {"a,b,", ',', 2, {"a", "b"}},
      {"a;b,c", ',', 2, {"a;b", "c"}},
      {"a;b;c", ',', 1, {"a;b;c"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " at " + c.separator);
    EXPECT_EQ(FieldCount(c.text, c.separator), c.count);
    std::vector<std::string> list = {"stale"};
    SplitFields(c.text, c.separator, list);
    EXPECT_EQ(list, c.fields);
  }
}

struct GetFieldCase {
  std::string text;
  int n;
  std::string separator;
  std::string expected;
};

TEST(TextRoutines, GetFieldEdges) {
  const GetFieldCase cases[] = {
      {"a;b", 3, ";", ""},       {"a;b", 2, ";", "b"},  {"a;b", 1, ";", "a"}, {"a;b", 0, ";", "a"},
      {"a;b", -5, ";", "a"},     {"a;b;", 3, ";", ""},  {"", 1, ";", ""},     {"x--y--z", 2, "--", "y"},
      {"x--y--z", 3, "--", "z"}, {"abc", 1, "", "abc"}, {"abc", 2, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " #" + std::to_string(c.n));
    EXPECT_EQ(GetField(c.text, c.n, c.separator), c.expected);
  }
}

TEST(TextRoutines, BackslashesAndColon) {
  EXPECT_EQ(AddBackslash(""), "");
  EXPECT_EQ(AddBackslash("C:\\Apps"), "C:\\Apps\\");
  EXPECT_EQ(AddBackslash("C:\\Apps\\"), "C:\\Apps\\");
  EXPECT_EQ(RemoveBackslash("C:\\Apps\\\\"), "C:\\Apps\\");
  EXPECT_EQ(RemoveBackslash("C:\\Apps"), "C:\\Apps");
  EXPECT_EQ(RemoveBackslash(""), "");
  EXPECT_EQ(RemoveBackslash("\\"), "");
  EXPECT_EQ(TextAfterColon("C:\\setup.1"), "\\setup.1");
  EXPECT_EQ(TextAfterColon("a:b:c"), "b:c");
  EXPECT_EQ(TextAfterColon("a:"), "");
  EXPECT_EQ(TextAfterColon("no colon"), "no colon");
  EXPECT_EQ(TextAfterColon(""), "");
}

TEST(TextRoutines, TrimmedTextDropsBlanksAndControlCharacters) {
  EXPECT_EQ(TrimmedText(" \t\r\n a b \x01"), "a b");
  EXPECT_EQ(TrimmedText("   "), "");
  EXPECT_EQ(TrimmedText(""), "");
  EXPECT_EQ(TrimmedText("\xE9t\xE9"), "\xE9t\xE9");
}

TEST(TextRoutines, MakeFileNameSafe) {
  const std::pair<std::string, std::string> cases[] = {
      {"10/12/99", "10-12-99"},
      {"Version 2.1: final", "Version 2.1 final"},
      {"a\"b*c:d;e<f>g?h\\i|j", "abcdefghij"},
      {"tab\there\x01 \xE9t\xE9", "tab\there\x01 \xE9t\xE9"},
      {"", ""},
      {"//", "--"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(MakeFileNameSafe(text), expected) << text;
}

}  // namespace
}  // namespace setup
