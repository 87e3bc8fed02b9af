// Aggregates over passes, data fields, the function library, environments
// and the start-up entries.
#include <gtest/gtest.h>

#include "framework/exceptions.h"
#include "report/expressions/environment.h"
#include "report/pages/error.h"
#include "report/expressions/functions.h"
#include "report/expressions/library.h"
#include "tests/report/expressions/test_support.h"
#include "tests/report/expressions/memory_data_set.h"

namespace report::testing {
namespace {

class AggregateTest : public ExpressionTest {
 protected:
  AggregateTest() : data_("Orders", {{"X", FieldKind::Integer}, {"Flag", FieldKind::Boolean}}) {
    data_.AddRecord({1, true});
    data_.AddRecord({2, false});
    data_.AddRecord({3, true});
    list_.push_back(&data_);
  }

  // Runs one aggregate pass per record after Reset, with a plain Value in
  // between that must not count, and returns the final value.
  TQRExprValue RunPasses(const std::string& text) {
    TQREvaluator evaluator;
    evaluator.SetDataSetList(&list_);
    evaluator.Prepare(text);
    evaluator.Reset();
    for (data_.First(); !data_.Eof(); data_.Next()) {
      evaluator.AggregatePass();
      evaluator.Value();
    }
    data_.First();
    return evaluator.Value();
  }

  MemoryDataSet data_;
  DataSets list_;
};

TEST_F(AggregateTest, ThreePassesOverOneTwoThree) {
  EXPECT_EQ(Describe(RunPasses("SUM(X)")), "integer 6");
  EXPECT_EQ(Describe(RunPasses("AVERAGE(X)")), "float 2");
  EXPECT_EQ(Describe(RunPasses("MAX(X)")), "integer 3");
  EXPECT_EQ(Describe(RunPasses("MIN(X)")), "integer 1");
  EXPECT_EQ(Describe(RunPasses("COUNT")), "integer 3");
  EXPECT_EQ(Describe(RunPasses("SUM(X * 1.5)")), "float 9");
  EXPECT_EQ(Describe(RunPasses("SUM(X) / COUNT")), "float 2");
  EXPECT_EQ(Describe(RunPasses("SUM()")), "integer 0");
}

TEST_F(AggregateTest, MinAndMaxOfBooleans) {
  data_.First();
  TQREvaluator max, min;
  max.SetDataSetList(&list_);
  min.SetDataSetList(&list_);
  max.Prepare("MAX(Flag)");
  min.Prepare("MIN(Flag)");
  // true, false, true
  for (data_.First(); !data_.Eof(); data_.Next()) {
    max.AggregatePass();
    min.AggregatePass();
  }
  data_.First();
  EXPECT_EQ(Describe(max.Value()), "boolean True");
  EXPECT_EQ(Describe(min.Value()), "boolean False");
}

TEST_F(AggregateTest, ResetStartsAgain) {
  TQREvaluator evaluator;
  evaluator.SetDataSetList(&list_);
  evaluator.Prepare("SUM(X) + COUNT");
  for (data_.First(); !data_.Eof(); data_.Next()) evaluator.AggregatePass();
  data_.First();
  EXPECT_EQ(evaluator.Value().IntValue, 9);
  evaluator.Reset();
  EXPECT_EQ(evaluator.Value().IntValue, 0);
  evaluator.AggregatePass();
  EXPECT_EQ(evaluator.Value().IntValue, 2);
}

TEST_F(AggregateTest, MixedAndWrongArguments) {
  // An integer sum meeting a float goes on as a float; a string spoils it.
  TQREvaluator sum;
  sum.Prepare("SUM(IF(COUNT = 2, 0.5, 1))");
  for (int i = 0; i < 3; ++i) sum.AggregatePass();
  EXPECT_EQ(Describe(sum.Value()), "float 2.5");
  EXPECT_EQ(Describe(RunPasses("SUM(IF(X = 2, 'a', X))")), "error Wrong arguments for SUM");
  EXPECT_EQ(Describe(RunPasses("AVERAGE('a')")), "error Wrong arguments for SUM");
  EXPECT_EQ(Describe(RunPasses("MAX(X, 1)")), "error Wrong arguments for MAX");
  EXPECT_EQ(Describe(RunPasses("SUM(2147483647)")), "integer 2147483645");
}

TEST_F(AggregateTest, HasAggregatesCountsOnlyTheOwnQueue) {
  TQREvEnvironment functions;
  functions.AddEntry("TOTAL", "SUM(1)");
  functions.Prepare();
  TQREvaluator evaluator;
  evaluator.SetLocalEnvironment(&functions);
  evaluator.Prepare("TOTAL + 1");
  EXPECT_FALSE(evaluator.HasAggregates());
  evaluator.Prepare("SUM(1) + 1");
  EXPECT_TRUE(evaluator.HasAggregates());
  evaluator.Prepare("COUNT");
  EXPECT_TRUE(evaluator.HasAggregates());
  evaluator.Unprepare();
  EXPECT_FALSE(evaluator.HasAggregates());
  functions.Unprepare();
}

class DataFieldTest : public ExpressionTest {
 protected:
  DataFieldTest()
      : orders_("Orders", {{"Qty", FieldKind::Integer},
                           {"Price", FieldKind::Float},
                           {"Name", FieldKind::String},
                           {"Paid", FieldKind::Boolean},
                           {"Day", FieldKind::DateTime},
                           {"Blob", FieldKind::Other}}),
        customers_("Customers", {{"Name", FieldKind::String}}, true) {
    orders_.AddRecord({4, 2.5, std::string("Pen"), true, std::string("3/5/2026"), 0});
    customers_.AddRecord({std::string("Ann")});
    list_ = {&orders_, &customers_};
  }

  TQRExprValue FieldValue(const std::string& text) {
    TQREvaluator evaluator;
    evaluator.SetDataSetList(&list_);
    evaluator.Prepare(text);
    return evaluator.Value();
  }

  MemoryDataSet orders_;
  MemoryDataSet customers_;
  DataSets list_;
};

TEST_F(DataFieldTest, FieldsReadByKind) {
  EXPECT_EQ(Describe(FieldValue("Qty * 2")), "integer 8");
  EXPECT_EQ(Describe(FieldValue("[Price]")), "float 2.5");
  EXPECT_EQ(Describe(FieldValue("name")), "string Pen");
  EXPECT_EQ(Describe(FieldValue("Paid")), "boolean True");
  EXPECT_EQ(Describe(FieldValue("Day")), "string 3/5/2026");
  EXPECT_EQ(Describe(FieldValue("Blob")), "error Field Blob is of unknown type");
}

TEST_F(DataFieldTest, DataSetNameSelectsTheSet) {
  EXPECT_EQ(Describe(FieldValue("Customers.Name")), "string Ann");
  EXPECT_EQ(Describe(FieldValue("[orders.qty]")), "integer 4");
  EXPECT_EQ(Describe(FieldValue("Customers.Qty")), "error Unknown function : CUSTOMERS.QTY");
  EXPECT_EQ(Describe(FieldValue("Stock.Qty")), "error Unknown function : STOCK.QTY");
}

TEST_F(DataFieldTest, FieldsComeBeforeEnvironmentsAndNoListMeansNoFields) {
  TQREvEnvironment functions;
  functions.AddEntry("QTY", "100");
  functions.Prepare();
  TQREvaluator evaluator;
  evaluator.SetLocalEnvironment(&functions);
  evaluator.SetDataSetList(&list_);
  evaluator.Prepare("Qty");
  EXPECT_EQ(evaluator.Value().IntValue, 4);
  evaluator.SetDataSetList(nullptr);
  evaluator.Prepare("Qty");
  EXPECT_EQ(evaluator.Value().IntValue, 100);
  evaluator.Unprepare();
  functions.Unprepare();
}

TEST_F(DataFieldTest, DefaultFieldsAreLookedUpAgainAfterReopening) {
  TQREvaluator evaluator;
  evaluator.SetDataSetList(&list_);
  evaluator.Prepare("Customers.Name");
  customers_.Reopen();  // the field object read at Prepare is gone now
  EXPECT_EQ(evaluator.Value().StrValue, "Ann");
}

class LibraryTest : public ExpressionTest {};

TEST_F(LibraryTest, BuiltInsAreRegisteredInOrder) {
  const char* const names[] = {"IF",    "STR", "UPPER", "LOWER", "PRETTY", "TIME",    "DATE",
                               "COPY",  "SUM", "COUNT", "MAX",   "MIN",    "AVERAGE", "TRUE",
                               "FALSE", "INT", "FRAC",  "SQRT",  "DIV",    "TYPEOF",  "FORMATNUMERIC"};
  ASSERT_EQ(QRFunctionLibrary->Count(), 21);
  for (int i = 0; i < 21; ++i) {
    EXPECT_EQ(QRFunctionLibrary->EntryAt(i)->Name, names[i]);
    EXPECT_EQ(QRFunctionLibrary->EntryAt(i)->Vendor, "Trelund AS");
  }
  EXPECT_EQ(QRFunctionLibrary->EntryAt(0)->ArgumentSpec, "5BVV");
  EXPECT_EQ(QRFunctionLibrary->EntryAt(0)->Description,
            "IF(<Exp>, <X>, <Y>)|Returns <X> or <Y> depending on the boolean expression <Exp>");
  EXPECT_EQ(QRFunctionLibrary->EntryAt(18)->Description, "DIV(<X>, <Y>) | ");
  EXPECT_EQ(QRFunctionLibrary->EntryAt(20)->ArgumentSpec, "7SN");
  EXPECT_EQ(QRFunctionLibrary->EntryAt(21), nullptr);
  EXPECT_EQ(QRFunctionLibrary->EntryAt(-1), nullptr);
}

TEST_F(LibraryTest, CreateElementIgnoresCaseAndReportsUnknownNames) {
  EXPECT_NE(dynamic_cast<TQREvUpperFunction*>(QRFunctionLibrary->CreateElement("upper").get()), nullptr);
  auto unknown = QRFunctionLibrary->CreateElement("NOPE");
  auto* error = dynamic_cast<TQREvElementError*>(unknown.get());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->Message, "Unknown function : NOPE");
}

TEST_F(LibraryTest, RegisteredFunctionIsCallable) {
  RegisterQRFunction(FunctionClassOf<TQREvTrue>, "YES", "YES|always true", "Us", "5");
  EXPECT_EQ(Describe(Evaluate("yes")), "boolean True");
}

class EnvironmentTest : public ExpressionTest {
 protected:
  TQRExprValue EvaluateIn(TQREvEnvironment& environment, const std::string& text) {
    TQREvaluator evaluator;
    evaluator.SetLocalEnvironment(&environment);
    evaluator.Prepare(text);
    return evaluator.Value();
  }
};

TEST_F(EnvironmentTest, SelfReferenceIsRefused) {
  TQREvEnvironment functions;
  functions.AddEntry("A", "A + 1");
  functions.AddEntry("B", "C");
  functions.AddEntry("C", "B * 2");
  functions.Prepare();
  EXPECT_EQ(Describe(EvaluateIn(functions, "A")), "error Recursive calls not allowed");
  EXPECT_EQ(Describe(EvaluateIn(functions, "B")), "error Recursive calls not allowed");
  EXPECT_EQ(Describe(functions.EntryValue("a")), "error Recursive calls not allowed");
  functions.Unprepare();
}

TEST_F(EnvironmentTest, EntriesReferToEachOtherAndToTheGlobalOnes) {
  TQREvEnvironment functions;
  functions.AddEntry("Net", "100");
  functions.AddEntry("Gross", "NET * 1.25");
  functions.AddEntry("Title", "'Report of ' + AppName");
  functions.Prepare();
  EXPECT_EQ(Describe(EvaluateIn(functions, "gross")), "float 125");
  EXPECT_EQ(Describe(EvaluateIn(functions, "Title")), "string Report of Tallimo");
  EXPECT_EQ(Describe(functions.EntryValue("NOPE")), "error Unknown function : NOPE");
  functions.Unprepare();
}

TEST_F(EnvironmentTest, LocalEntriesHideGlobalOnes) {
  TQREvEnvironment functions;
  functions.AddEntry("AppName", "'mine'");
  functions.Prepare();
  EXPECT_EQ(EvaluateIn(functions, "AppName").StrValue, "mine");
  EXPECT_EQ(Evaluate("AppName").StrValue, "Tallimo");
  functions.Unprepare();
}

TEST_F(EnvironmentTest, AddEntryKeepsAnExistingEntry) {
  TQREvEnvironment functions;
  functions.AddEntry("X", "1");
  functions.AddEntry("x", "2");
  EXPECT_EQ(functions.Count(), 1);
  EXPECT_EQ(functions.NameAt(0), "X");
  functions.Prepare();
  EXPECT_EQ(functions.EntryValue("X").IntValue, 1);
  functions.Unprepare();
}

TEST_F(EnvironmentTest, SetIntegerTurnsAConstantIntoAVariable) {
  TQREvEnvironment functions;
  functions.AddEntry("PAGENUMBER", "0");
  functions.AddEntry("REPORTTITLE", "''");
  functions.Prepare();
  TQREvaluator header;
  header.SetLocalEnvironment(&functions);
  header.Prepare("REPORTTITLE + ' page ' + STR(PAGENUMBER)");
  for (int page = 1; page <= 2; ++page) {
    TQREvEnvironment::SetInteger(functions.FirstElement("pagenumber"), page);
    TQREvEnvironment::SetString(functions.FirstElement("REPORTTITLE"), "Sales");
    EXPECT_EQ(header.Value().StrValue, "Sales page " + std::to_string(page));
  }
  TQREvEnvironment::SetConstant(functions.FirstElement("PAGENUMBER"), MakeFloat(2.5));
  TQREvEnvironment::SetConstant(functions.FirstElement("REPORTTITLE"),
                                MakeInteger(1));  // not a string: ignored
  EXPECT_EQ(header.Value().StrValue, "Sales page 2.5");
  TQREvEnvironment::SetInteger(functions.FirstElement("REPORTTITLE"), 9);  // not a constant: ignored
  EXPECT_EQ(functions.EntryValue("REPORTTITLE").StrValue, "Sales");
  EXPECT_EQ(functions.FirstElement("NOPE"), nullptr);
  header.Unprepare();
  functions.Unprepare();
  EXPECT_EQ(functions.FirstElement("PAGENUMBER"), nullptr);  // not prepared
}

TEST_F(EnvironmentTest, UnpreparedEnvironmentRaisesOnEvaluation) {
  TQREvEnvironment functions;
  functions.AddEntry("X", "1");
  EXPECT_THROW(functions.EntryValue("X"), fw::Exception);
}

TEST_F(EnvironmentTest, PreparesAreCountedSymmetrically) {
  ASSERT_EQ(QRGlobalEnvironment->PrepareCount(), 0);
  EXPECT_EQ(QRGlobalEnvironment->FirstElement("AppName"), nullptr);
  {
    TQREvEnvironment functions;
    functions.AddEntry("PAGENUMBER", "0");
    functions.AddEntry("TITLE", "AppName");
    TQREvaluator first, second;
    first.Prepare("1");
    EXPECT_EQ(QRGlobalEnvironment->PrepareCount(), 1);
    EXPECT_NE(QRGlobalEnvironment->FirstElement("AppName"), nullptr);
    second.Prepare("2");
    second.Prepare("3");  // preparing again replaces, it does not add a use
    EXPECT_EQ(QRGlobalEnvironment->PrepareCount(), 2);
    functions.Prepare();
    functions.Prepare();
    EXPECT_EQ(functions.PrepareCount(), 2);
    EXPECT_EQ(QRGlobalEnvironment->PrepareCount(), 4);  // two more: the two entries
    functions.Unprepare();
    EXPECT_EQ(QRGlobalEnvironment->PrepareCount(), 4);
    functions.Unprepare();
    EXPECT_EQ(QRGlobalEnvironment->PrepareCount(), 2);
    functions.Prepare();
    EXPECT_EQ(QRGlobalEnvironment->PrepareCount(), 4);
    first.Unprepare();
    // second and functions are destroyed while prepared.
  }
  EXPECT_EQ(QRGlobalEnvironment->PrepareCount(), 0);
  EXPECT_EQ(QRGlobalEnvironment->FirstElement("AppName"), nullptr);
}

TEST_F(EnvironmentTest, EntriesRemovedOrDestroyedReadAsUnknown) {
  auto functions = std::make_unique<TQREvEnvironment>();
  functions->AddEntry("A", "1");
  functions->AddEntry("B", "2");
  functions->Prepare();
  TQREvaluator a, b;
  a.SetLocalEnvironment(functions.get());
  b.SetLocalEnvironment(functions.get());
  a.Prepare("A");
  b.Prepare("B + 1");
  functions->RemoveEntry("a");
  EXPECT_EQ(functions->Count(), 1);
  EXPECT_EQ(Describe(a.Value()), "error Unknown function : A");
  EXPECT_EQ(b.Value().IntValue, 3);
  functions.reset();
  EXPECT_EQ(Describe(b.Value()), "error Unknown function : B");
}

TEST_F(EnvironmentTest, EntryAddedWhilePreparedIsUsable) {
  TQREvEnvironment functions;
  functions.Prepare();
  functions.AddEntry("LATE", "40 + 2");
  EXPECT_EQ(functions.EntryValue("LATE").IntValue, 42);
  functions.Unprepare();
}

TEST_F(EnvironmentTest, AggregatePassDoesNotReachIntoEntries) {
  TQREvEnvironment functions;
  functions.AddEntry("RUNNING", "COUNT");
  functions.Prepare();
  TQREvaluator counter;
  counter.SetLocalEnvironment(&functions);
  counter.Prepare("RUNNING + COUNT");
  counter.AggregatePass();
  counter.AggregatePass();
  EXPECT_EQ(counter.Value().IntValue, 2);  // only the expression's own COUNT moved
  counter.Unprepare();
  functions.Unprepare();
}

TEST_F(EnvironmentTest, DataListsRoundTripAndAMismatchIsRejected) {
  TQREvEnvironment stored;
  stored.AddEntry("PAGENUMBER", "0");
  stored.AddEntry("COLUMNNUMBER", "0");
  stored.AddEntry("REPORTTITLE", "''");
  EXPECT_EQ(stored.Names(), (std::vector<std::string>{"PAGENUMBER", "COLUMNNUMBER", "REPORTTITLE"}));
  EXPECT_EQ(stored.DataStrings(), (std::vector<std::string>{"0", "0", "''"}));

  TQREvEnvironment read;
  read.ReadStrings(stored.Names(), stored.DataStrings());
  EXPECT_EQ(read.Names(), stored.Names());
  EXPECT_EQ(read.DataStrings(), stored.DataStrings());

  try {
    read.ReadStrings({"A", "B"}, {"1"});
    FAIL() << "no exception";
  } catch (const EQRError& e) {
    EXPECT_EQ(e.Message(), "The report's functions are damaged: 2 names but 1 expressions");
  }
  EXPECT_THROW(read.ReadStrings({"A"}, {"1", "2"}), EQRError);
  EXPECT_EQ(read.Names(), stored.Names());  // the failed reads changed nothing
}

TEST_F(EnvironmentTest, StartUpEntriesAreStringConstants) {
  platform_.timeText = "09:41:00";
  platform_.shortDateText = "10/12/2026";
  platform_.applicationTitle = "Tallimo";
  Restart();
  EXPECT_EQ(QRGlobalEnvironment->Names(),
            (std::vector<std::string>{"APPSTARTTIME", "APPSTARTDATE", "APPNAME"}));
  EXPECT_EQ(QRGlobalEnvironment->DataStrings(),
            (std::vector<std::string>{"'09:41:00'", "'10/12/2026'", "'Tallimo'"}));
  TQREvaluator keepPrepared;
  keepPrepared.Prepare("AppStartDate");
  for (const char* name : {"AppStartTime", "AppStartDate", "AppName"})
    EXPECT_NE(dynamic_cast<TQREvElementString*>(QRGlobalEnvironment->FirstElement(name)), nullptr) << name;
  // Fixed at start-up: a later clock does not change them.
  platform_.timeText = "10:00:00";
  EXPECT_EQ(Evaluate("AppStartTime").StrValue, "09:41:00");
  EXPECT_EQ(Evaluate("TIME").StrValue, "10:00:00");
}

TEST(ExpressionsWithoutStartUp, EvaluateWithBuiltInDefaults) {
  TQREvaluator evaluator;
  evaluator.Prepare("1 + 2");
  EXPECT_EQ(evaluator.Value().IntValue, 3);
  evaluator.Prepare("UPPER('a')");
  EXPECT_EQ(Describe(evaluator.Value()), "error Unknown function : UPPER");
}

}  // namespace
}  // namespace report::testing
