// Controllers on the page model: the data loop over a data set or OnNeedData,
// groups and their footers, sub-details, reprinted group headers, cancels,
// progress and query parameters.
#include <gtest/gtest.h>

#include "report/layout/bind_query_params.h"
#include "tests/report/layout/controller_rows.h"

namespace report::testing {
namespace {

class ControllerTable : public LayoutTest, public ::testing::WithParamInterface<LayoutRow> {};

TEST_P(ControllerTable, GivesItsTrace) {
  GetParam().build(subject(), *this);
  subject().Run();
  EXPECT_EQ(subject().GetTrace().Text(), GetParam().trace);
}

INSTANTIATE_TEST_SUITE_P(Controllers, ControllerTable, ::testing::ValuesIn(ControllerRows()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LayoutTest, OnNeedDataIsAskedOncePerRecordAndOnceMore) {
  AddBand(*model_, rbDetail, "D", 10);
  Feed(3);
  model_->Run();
  EXPECT_EQ(needDataCalls_, 4);
  EXPECT_EQ(model_->controller().DetailNo, 3);
}

TEST_F(LayoutTest, ProgressFollowsTheReportsDataSet) {
  Records& records = Use(*model_, {{"A"}, {"B"}, {"C"}});
  std::vector<int> seen;
  AddBand(*model_, rbDetail, "D", 10)->AfterPrint = [&](TQRCustomBand*, bool) {
    seen.push_back(model_->Progress);
  };
  model_->Run();
  EXPECT_EQ(seen, (std::vector<int>{-1, 33, 66}));
  EXPECT_EQ(model_->Progress, 100);
  EXPECT_EQ(records.set.Eof(), true);
}

TEST_F(LayoutTest, AnErrorValueIsNeverAGroupChange) {
  auto* group = new TQRGroup(model_.get());
  group->Evaluator().Prepare("NOSUCHNAME");
  group->HasValue = true;
  group->LastValue = MakeString("A");
  EXPECT_FALSE(group->Test());
  EXPECT_EQ(group->LastValue.StrValue, "A");
  group->Evaluator().Prepare("'a'");  // case counts
  EXPECT_TRUE(group->Test());
  group->Evaluator().Prepare("1");  // another kind
  EXPECT_TRUE(group->Test());
  EXPECT_FALSE(group->Test());
  group->Evaluator().Unprepare();
}

TEST_F(LayoutTest, ControllerMasterLoopIsRefused) {
  TQRController first(nullptr), second(nullptr);
  first.SetMaster(&second);
  second.SetMaster(&first);
  EXPECT_EQ(second.Master(), nullptr);
  first.SetMaster(&first);
  EXPECT_EQ(first.Master(), &second);
}

TEST_F(LayoutTest, SubDetailMasterLoopIsRefused) {
  auto* a = AddBand<TQRSubDetail>(*model_, rbSubDetail, "A", 10);
  auto* b = AddBand<TQRSubDetail>(*model_, rbSubDetail, "B", 10);
  EXPECT_EQ(a->Master(), model_.get());
  b->SetMaster(a);
  a->SetMaster(b);
  EXPECT_EQ(a->Master(), model_.get());
  EXPECT_EQ(b->Master(), a);
}

// ---------------------------------------------------------------- query parameters

class FakeQuery : public DataQuery {
 public:
  struct Param : QueryParam {
    Param(std::string name, TFieldType type) : name(std::move(name)), type(type) {}
    std::string Name() const override { return name; }
    TFieldType DataType() const override { return type; }
    void SetAsString(std::string_view v) override { value = "string " + std::string(v); }
    void SetAsInteger(std::int32_t v) override { value = "integer " + std::to_string(v); }
    void SetAsBoolean(bool v) override { value = v ? "boolean true" : "boolean false"; }
    void SetAsFloat(double v) override { value = "float " + std::to_string(v); }
    void SetAsDate(double v) override { value = "date " + std::to_string(v); }
    void SetAsTime(double v) override { value = "time " + std::to_string(v); }
    void SetAsDateTime(double v) override { value = "datetime " + std::to_string(v); }
    std::string name;
    TFieldType type;
    std::string value = "unchanged";
  };

  std::vector<Param> params;
  std::vector<std::string> calls;

  std::string Name() const override { return "Query"; }
  bool DefaultFields() const override { return false; }
  int FieldCount() const override { return 0; }
  DataField* FieldAt(int) const override { return nullptr; }
  bool Active() const override { return open_; }
  bool Eof() const override { return true; }
  void First() override { calls.push_back("first"); }
  void Close() override {
    open_ = false;
    calls.push_back("close");
  }
  void Open() override {
    open_ = true;
    calls.push_back("open");
  }
  int ParamCount() const override { return static_cast<int>(params.size()); }
  QueryParam& Param(int index) override { return params.at(static_cast<std::size_t>(index)); }

 private:
  bool open_ = true;
};

struct BindRow {
  TFieldType type;
  const char* expression;
  const char* value;
};

class BindTable : public LayoutTest, public ::testing::WithParamInterface<BindRow> {};

TEST_P(BindTable, AssignsByTypeOnlyAValueOfTheShownKind) {
  TQREvEnvironment environment;
  environment.AddEntry("P", GetParam().expression);
  environment.Prepare();
  FakeQuery query;
  query.params.emplace_back("p", GetParam().type);
  BindQueryParams(query, environment, model_->DateConversion());
  EXPECT_EQ(query.params[0].value, GetParam().value);
  EXPECT_EQ(query.calls, (std::vector<std::string>{"close", "open"}));
  environment.Unprepare();
}

INSTANTIATE_TEST_SUITE_P(Controllers, BindTable,
                         ::testing::Values(BindRow{TFieldType::ftString, "'abc'", "string abc"},
                                           BindRow{TFieldType::ftString, "12", "unchanged"},
                                           BindRow{TFieldType::ftSmallint, "12", "integer 12"},
                                           BindRow{TFieldType::ftInteger, "-7", "integer -7"},
                                           BindRow{TFieldType::ftWord, "'7'", "unchanged"},
                                           BindRow{TFieldType::ftBoolean, "TRUE", "boolean true"},
                                           BindRow{TFieldType::ftBoolean, "1", "unchanged"},
                                           BindRow{TFieldType::ftFloat, "2.5", "float 2.500000"},
                                           BindRow{TFieldType::ftCurrency, "0.25", "float 0.250000"},
                                           BindRow{TFieldType::ftBCD, "3", "unchanged"},
                                           BindRow{TFieldType::ftDate, "'2000-01-01'", "date 36526.000000"},
                                           BindRow{TFieldType::ftTime, "'18:00'", "time 0.750000"},
                                           BindRow{TFieldType::ftDateTime, "'2000-01-01 06:00'",
                                                   "datetime 36526.250000"},
                                           BindRow{TFieldType::ftDate, "20000101", "unchanged"},
                                           BindRow{TFieldType::ftUnknown, "'x'", "unchanged"}));

TEST_F(LayoutTest, BadDateTextRaisesTheConversionErrorWithTheQueryClosed) {
  TQREvEnvironment environment;
  environment.AddEntry("DAY", "'31.12.2000'");
  environment.Prepare();
  FakeQuery query;
  query.params.emplace_back("Day", TFieldType::ftDate);
  EXPECT_THROW(BindQueryParams(query, environment, model_->DateConversion()), fw::EConvertError);
  EXPECT_EQ(query.calls, (std::vector<std::string>{"close"}));
  environment.Unprepare();
}

TEST_F(LayoutTest, QueryParametersNamedLikeAFunctionAreBoundBeforeTheLoop) {
  FakeQuery query;
  query.params.emplace_back("pagenumber", TFieldType::ftInteger);
  query.params.emplace_back("Other", TFieldType::ftInteger);
  model_->controller().SetDataSet(&query);
  AddBand(*model_, rbDetail, "D", 10);
  model_->Run();
  EXPECT_TRUE(model_->controller().BindParams);
  EXPECT_EQ(query.calls, (std::vector<std::string>{"close", "open", "first"}));
  EXPECT_EQ(query.params[0].value, "integer 0");
  EXPECT_EQ(query.params[1].value, "unchanged");
}

}  // namespace
}  // namespace report::testing

namespace report::testing {
namespace {

// Registers with the report's controller when prepared, as an expression
// control does, and writes each notice into the trace.
class NoticeProbe : public TQRPrintable {
 public:
  NoticeProbe(PageModel& model) : TQRPrintable(&model), model_(model) {}
  void PrintPrepare() override {
    TQRPrintable::PrintPrepare();
    model_.controller().ExprClients.push_back(this);
  }
  void NotifyPrintable(fw::TComponent* sender, int operation) override {
    model_.trace.Add("notice" + std::to_string(operation) + (sender == &model_.controller() ? "" : "?"));
  }

 private:
  PageModel& model_;
};

struct NoticeRow {
  bool enabled;
  bool refused;
  const char* trace;
};

class NoticeTable : public LayoutTest, public ::testing::WithParamInterface<NoticeRow> {};

// A disabled detail band still feeds the expressions; one refused by its
// BeforePrint does not.
TEST_P(NoticeTable, ExpressionsHearOfTheDetailBand) {
  auto* detail = AddBand(*model_, rbDetail, "D", 10);
  (new NoticeProbe(*model_))->SetParent(detail);
  detail->SetEnabled(GetParam().enabled);
  const bool refuse = GetParam().refused;
  detail->BeforePrint = [refuse](TQRCustomBand*, bool& print) { print = !refuse; };
  Feed(2);
  model_->Run();
  EXPECT_EQ(model_->trace.Text(), GetParam().trace);
}

INSTANTIATE_TEST_SUITE_P(Controllers, NoticeTable,
                         ::testing::Values(NoticeRow{true, false, "P1 notice0 D@0 notice0 D@10"},
                                           NoticeRow{false, false, "notice0 notice0"},
                                           NoticeRow{true, true, ""}));

}  // namespace
}  // namespace report::testing
