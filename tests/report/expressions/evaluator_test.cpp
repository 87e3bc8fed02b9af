// The expression language: one table of text -> kind and value or message.
#include <gtest/gtest.h>

#include "framework/exceptions.h"
#include "tests/report/expressions/test_support.h"

namespace report::testing {
namespace {

struct Case {
  const char* text;
  const char* expected;  // kind and text, as Describe gives them
};

void PrintTo(const Case& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ExpressionTable : public ExpressionTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ExpressionTable, EvaluatesToExpectedKindAndValue) {
  EXPECT_EQ(Describe(Evaluate(GetParam().text)), GetParam().expected) << "text: " << GetParam().text;
}

const Case kLanguage[] = {
    // Constants and blanks
    {"", "string  "},
    {"  7  ", "integer 7"},
    {"'", "string "},
    {"''", "string "},
    {"'it''s'", "string it''s"},
    {"1.5", "float 1.5"},
    {"1E5", "float 100000"},
    {"1e5", "float 100000"},
    {"2147483647", "integer 2147483647"},
    {"2147483648", "error Illegal character in numeric contant \"2147483648\""},
    {"99999999999", "error Illegal character in numeric contant \"99999999999\""},
    {"1,5", "error Illegal character in numeric contant \"1,5\""},
    {"1E+5", "error Illegal character in numeric contant \"1E\""},
    {"1.2.3", "error Illegal character in numeric contant \"1.2.3\""},
    {".5", "error Error in expression : .5"},
    {"#", "error Error in expression : #"},
    // Order of operations
    {"10 - 4 + 3", "integer 9"},
    {"10 - 4 - 3", "integer 3"},
    {"8 / 4 * 2", "float 4"},
    {"7 / 2", "float 3.5"},
    {"2 * 3 / 4", "float 1.5"},
    {"2 + 3 * 4", "integer 14"},
    {"(2 + 3) * 4", "integer 20"},
    {"1 + 2 = 3", "boolean True"},
    {"1 = 1 = 1", "error Illegal character in numeric contant \"1 = 1\""},
    // Signs
    {"-5", "integer -5"},
    {"- 5", "integer -5"},
    {"+5", "integer 5"},
    {"not 3", "integer -3"},
    {"not TRUE", "error Cannot subtract string expressions"},
    {"NOTES", "error Unknown function : ES"},
    {"10--3", "integer 13"},
    {"10 - -3", "integer 13"},
    {"2*-3", "integer -6"},
    {"1+2*-3", "integer -5"},
    {"10 - (4 + 3)", "integer 3"},
    // Comparisons
    {"10 = '10'", "boolean True"},
    {"TRUE = 1", "boolean False"},
    {"'b' > 'abc'", "boolean True"},
    {"'a' < 'ab'", "boolean True"},
    {"'ab' = 'ab'", "boolean True"},
    {"2 <= 2", "boolean True"},
    {"3 >= 4", "boolean False"},
    {"3 <> 3", "boolean False"},
    {"1.5 > 1", "boolean True"},
    {"TRUE <> FALSE", "boolean True"},
    {"TRUE < FALSE", "error Operator < is not compatible with boolean expressions"},
    // Operators by kind
    {"'ab' + 'cd'", "string abcd"},
    {"'x' + 1", "string x1"},
    {"1.5 + 'x'", "string 1.5x"},
    {"'ab' - 'cd'", "error Cannot subtract string expressions"},
    {"'a' * 2", "error Cannot multiply string expressions"},
    {"'a' / 'b'", "error Cannot divide string expressions"},
    {"TRUE + TRUE", "error Cannot add boolean expressions"},
    {"TRUE - TRUE", "error Cannot subtract boolean expressions"},
    {"TRUE * TRUE", "error Cannot multiply boolean expressions"},
    {"TRUE / TRUE", "error Cannot divide boolean expressions"},
    {"1 or 2", "integer 3"},
    {"3 and 5", "integer 1"},
    {"3 AND 5", "integer 1"},
    {"1 OR 2", "integer 3"},
    {"TRUE or FALSE", "boolean True"},
    {"TRUE and FALSE", "boolean False"},
    {"1.5 or 2", "error Operator OR is not compatible with numeric expressions"},
    {"'a' and 'b'", "error Operator AND is not compatible with string expressions"},
    {"1 or(2)", "error Illegal character in numeric contant \"1 or(2)\""},
    {"5 / 0", "error Cannot divide by 0"},
    {"5.0 / 0", "error Cannot divide by 0"},
    {"2147483647 + 1", "integer -2147483648"},
    {"65536 * 65536", "integer 0"},
    {"0 - 2147483647 - 2", "integer 2147483647"},
    {"1E308 * 10", "error Floating point overflow"},
    {"1E308 + 1E308", "error Floating point overflow"},
    // Errors pass through operators, the left one first
    {"FOO + 5 / 0", "error Unknown function : FOO"},
    {"1 + 5 / 0", "error Cannot divide by 0"},
    // Unclosed and empty parts
    {"(1 + 2", "error Missing )"},
    {"'abc", "error Missing '"},
    {"[Amount", "error Missing ]"},
    {"()", "error Missing operand"},
    {"+", "error Missing operand"},
    {"1 + ( )", "error Error in expression :  "},
    {"IF(TRUE,,2)", "error Missing operand"},
    // Names
    {"FOO(1)", "error Unknown function : FOO"},
    {"foo", "error Unknown function : FOO"},
    {"[foo]", "error Unknown function : foo"},
    {"SUM (1)", "error Unknown function : SUM "},
    {"FOO(1", "error Unknown function : "},
    {"UPPER(1,)", "error Illegal character in numeric contant \"1,\""},
    {"COPY('a,b', 1, 3)", "string a,b"},
    {"AppName", "string Tallimo"},
    {"appname + '!'", "string Tallimo!"},
    {"AppStartTime", "string 12:00:00"},
    {"AppStartDate", "string 1/1/2000"},
};
INSTANTIATE_TEST_SUITE_P(Language, ExpressionTable, ::testing::ValuesIn(kLanguage));

const Case kFunctions[] = {
    {"TRUE", "boolean True"},
    {"TRUE()", "boolean True"},
    {"FALSE", "boolean False"},
    {"TRUE(1)", "error Too many arguments"},
    {"IF(1, 2, 3)", "error Wrong arguments for IF"},
    {"IF(1 = 1, 'a')", "error Wrong arguments for IF"},
    {"IF(1 = 1, 'a', 5 / 0)", "string a"},
    {"IF(1 = 2, 'a', 5 / 0)", "error Cannot divide by 0"},
    {"TYPEOF(1)", "string INTEGER"},
    {"TYPEOF(1.5)", "string FLOAT"},
    {"TYPEOF('x')", "string STRING"},
    {"TYPEOF(TRUE)", "string BOOLEAN"},
    {"TYPEOF(FOO)", "string ERROR"},
    {"TYPEOF()", "error Wrong arguments for TypeOf"},
    {"INT(-2.7)", "integer -2"},
    {"INT(7)", "integer 7"},
    {"INT('7')", "error Wrong arguments for INT"},
    {"INT(1E10)", "error Integer overflow"},
    {"FRAC(-2.75)", "float -0.75"},
    {"FRAC(3)", "float 0"},
    {"FRAC('x')", "error Wrong arguments for FRAC"},
    {"SQRT(16)", "float 4"},
    {"SQRT(0 - 1)", "error Invalid floating point operation"},
    {"SQRT()", "error Wrong arguments for SQRT"},
    {"DIV(7, 2)", "integer 3"},
    {"DIV(-7, 2)", "integer -3"},
    {"DIV(7.5, 2)", "integer 4"},
    {"DIV(6.5, 2)", "integer 3"},
    {"DIV(1, 0)", "error Division by Zero"},
    {"DIV(1, 0.4)", "error Division by Zero"},
    {"DIV(0 - 2147483647 - 1, 0 - 1)", "error Integer overflow"},
    {"DIV(1E10, 2)", "error Integer overflow"},
    {"DIV('7', 2)", "error Wrong arguments for DIV"},
    {"STR(TRUE)", "string True"},
    {"STR(12)", "string 12"},
    {"STR(7 / 2)", "string 3.5"},
    {"STR(1E20)", "string 1E20"},
    {"STR(0.000001)", "string 1E-6"},
    {"STR('x')", "error Conversion error"},
    {"STR(5 / 0)", "error Conversion error"},
    {"UPPER('abc')", "string ABC"},
    {"LOWER('ABC')", "string abc"},
    {"UPPER(5 / 0)", "error Cannot divide by 0"},
    {"UPPER(5)", "error Wrong arguments for UPPER"},
    {"LOWER(TRUE)", "error Wrong arguments for LOWER"},
    {"PRETTY(1.5)", "error Wrong arguments for PRETTY"},
    {"UPPER()", "error Missing argument for UPPER"},
    {"LOWER('a', 'b')", "error Missing argument for LOWER"},
    {"PRETTY('hELLO wORLD')", "string Hello world"},
    {"PRETTY('')", "string "},
    {"PRETTY(5 / 0)", "error Cannot divide by 0"},
    {"TIME", "string 12:00:00"},
    {"DATE", "string 1/1/2000"},
    {"TIME(1)", "error Too many arguments"},
    {"COPY('abcdef', 0, 2)", "string ab"},
    {"COPY('abcdef', 3, 2)", "string cd"},
    {"COPY('abc', 5, 1)", "string "},
    {"COPY('abc', 2, 99)", "string bc"},
    {"COPY('abc', 2, 0)", "string "},
    {"COPY('abc', 0 - 5, 2)", "string ab"},
    {"COPY('abc', 1)", "error Wrong arguments for COPY"},
    {"FORMATNUMERIC('0.00', 3)", "string 3.00"},
    {"FORMATNUMERIC('#,##0.00', 1234567.891)", "string 1,234,567.89"},
    {"FORMATNUMERIC(3, '0.00')", "error Wrong arguments for FORMATNUMERIC"},
    {"SUM()", "integer 0"},
    {"SUM(5)", "integer 0"},
    {"COUNT", "integer 0"},
    {"COUNT(1)", "error COUNT - Too many arguments"},
    {"AVERAGE(5)", "integer 0"},
    {"MAX(5)", "integer 0"},
};
INSTANTIATE_TEST_SUITE_P(Functions, ExpressionTable, ::testing::ValuesIn(kFunctions));

TEST_F(ExpressionTest, StringsAreCutTo255Characters) {
  const std::string longText(300, 'a');
  EXPECT_EQ(Evaluate("'" + longText + "'").StrValue, std::string(255, 'a'));
  EXPECT_EQ(Evaluate("'" + std::string(200, 'a') + "' + '" + std::string(200, 'b') + "'").StrValue.size(),
            255u);
}

TEST_F(ExpressionTest, ValueBeforePrepareRaises) {
  TQREvaluator evaluator;
  try {
    evaluator.Value();
    FAIL() << "no exception";
  } catch (const fw::Exception& e) {
    EXPECT_EQ(e.Message(), "Evaluator not prepared");
  }
  evaluator.Prepare("1");
  evaluator.Unprepare();
  EXPECT_THROW(evaluator.Value(), fw::Exception);
}

TEST_F(ExpressionTest, PrepareAgainReplacesTheExpression) {
  TQREvaluator evaluator;
  evaluator.Prepare("1 + 1");
  evaluator.Prepare("'x'");
  EXPECT_EQ(Describe(evaluator.Value()), "string x");
}

TEST_F(ExpressionTest, DeepNestingIsRefusedAsAnError) {
  const std::string deep = std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_EQ(Describe(Evaluate(deep)), "error Expression too complex");
  std::string longSum = "1";
  for (int i = 0; i < 3000; ++i) longSum += "+1";
  EXPECT_EQ(Describe(Evaluate(longSum)), "error Expression too complex");
  EXPECT_EQ(Describe(Evaluate(std::string(50, '(') + "1" + std::string(50, ')'))), "integer 1");
}

TEST_F(ExpressionTest, CommaDecimalSeparatorReadsPointAndWritesComma) {
  platform_.decimalSeparator = ',';
  platform_.thousandSeparator = '.';
  Restart();
  EXPECT_EQ(Describe(Evaluate("1.5 * 2")), "float 3");
  EXPECT_EQ(Evaluate("STR(1.5)").StrValue, "1,5");
  EXPECT_EQ(Evaluate("1.5 + 'x'").StrValue, "1,5x");
  EXPECT_EQ(Evaluate("FORMATNUMERIC('#,##0.00', 1234.5)").StrValue, "1.234,50");
  EXPECT_EQ(Describe(Evaluate("1,5")), "error Illegal character in numeric contant \"1,5\"");
  EXPECT_EQ(Describe(Evaluate("1.2.3")), "error Illegal character in numeric contant \"1,2,3\"");
}

TEST_F(ExpressionTest, DoubleByteCharactersStayWhole) {
  platform_.leadBytes.set(0x81);
  Restart();
  // COPY moves off a trail byte and stops before a lead byte.
  EXPECT_EQ(Evaluate("COPY('a\x81xb', 2, 1)").StrValue, "");
  EXPECT_EQ(Evaluate("COPY('a\x81xb', 3, 2)").StrValue, "b");
  EXPECT_EQ(Evaluate("COPY('a\x81xb', 2, 2)").StrValue, "\x81x");
  // A lead byte at the very end is not paired with bytes past the string.
  EXPECT_EQ(Evaluate("COPY('ab\x81', 2, 99)").StrValue, "b");
  EXPECT_EQ(Evaluate("PRETTY('\x81xAB')").StrValue, "\x81xab");
  // A "]" that is the second byte of a character does not close the bracket.
  EXPECT_EQ(Describe(Evaluate("[\x81]")), "error Missing ]");
}

}  // namespace
}  // namespace report::testing
