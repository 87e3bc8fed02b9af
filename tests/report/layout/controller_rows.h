// The controller layouts: each row builds bands and records on a report and
// names the trace a pass over them must write.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/report/layout/layout_test_support.h"
#include "tests/report/memory_data_set.h"

namespace report::testing {

// A data set of names (and countries and towns), kept alive for the model.
struct Records {
  MemoryDataSet set{
      "Items", {{"Name", FieldKind::String}, {"Country", FieldKind::String}, {"Town", FieldKind::String}}};
  std::string Name() const { return set.FieldAt(0)->AsText(); }
};

inline Records& Use(LayoutSubject& model, std::vector<std::vector<std::string>> rows) {
  static std::vector<std::unique_ptr<Records>> kept;
  kept.push_back(std::make_unique<Records>());
  Records& records = *kept.back();
  for (auto& row : rows) {
    row.resize(3);
    records.set.AddRecord({row[0], row[1], row[2]});
  }
  model.SetReportDataSet(&records.set);
  return records;
}

// A band that also writes "name:record" into the trace when it prints.
inline TQRCustomBand* Named(LayoutSubject& model, TQRCustomBand* band, Records& records) {
  const std::string name = band->Name();
  band->BeforePrint = [&model, &records, name](TQRCustomBand*, bool&) {
    model.GetTrace().Add(name + ":" + records.Name());
  };
  return band;
}

inline TQRGroup* AddGroup(LayoutSubject& model, const std::string& name, const std::string& expression,
                          int height, const std::string& footerName = {}) {
  auto* group = AddBand<TQRGroup>(model, rbGroupHeader, name, height);
  group->SetExpression(expression);
  if (!footerName.empty()) group->SetFooterBand(AddBand(model, rbGroupFooter, footerName, height));
  return group;
}

inline const std::vector<LayoutRow>& ControllerRows() {
  static const std::vector<LayoutRow> rows = {
      {"GroupsByFirstLetterWithFootersOnTheGroupsLastRecord",
       [](LayoutSubject& m, LayoutTest&) {
         Records& r = Use(m, {{"A1"}, {"A2"}, {"B1"}});
         Named(m, AddGroup(m, "GH", "COPY(Name,1,1)", 10, "GF"), r);
         Named(m, dynamic_cast<TQRGroup*>(m.Report().OrderedBands()[0])->FooterBand(), r);
         Named(m, AddBand(m, rbDetail, "D", 10), r);
       },
       "GH:A1 P1 GH@0 D:A1 D@10 D:A2 D@20 GF:A2 GF@30 GH:B1 GH@40 D:B1 D@50 GF:B1 GF@60"},
      // A new country restarts the town group, although the town is the same.
      {"OuterGroupChangeRestartsTheInnerGroup",
       [](LayoutSubject& m, LayoutTest&) {
         Use(m, {{"1", "DE", "Aachen"}, {"2", "FR", "Aachen"}});
         AddGroup(m, "CH", "Country", 10, "CF");
         AddGroup(m, "TH", "Town", 10, "TF");
         AddBand(m, rbDetail, "D", 10);
       },
       "P1 CH@0 TH@10 D@20 TF@30 CF@40 CH@50 TH@60 D@70 TF@80 CF@90"},
      {"EmptyDataSetPrintsHeaderDetailAndFooterOnce",
       [](LayoutSubject& m, LayoutTest&) {
         Use(m, {});
         AddBand(m, rbTitle, "T", 10);
         AddBand(m, rbDetail, "D", 10);
         AddBand(m, rbSummary, "S", 10);
       },
       "P1 T@0 D@10 S@20"},
      {"EmptyDataSetWithoutPrintIfEmptyPrintsNothing",
       [](LayoutSubject& m, LayoutTest&) {
         Use(m, {});
         m.MainController().PrintIfEmpty = false;
         AddBand(m, rbTitle, "T", 10);
         AddBand(m, rbDetail, "D", 10);
       },
       ""},
      {"NoDataSetAndNoOnNeedDataPrintsHeaderDetailAndFooterOnce",
       [](LayoutSubject& m, LayoutTest&) {
         AddBand(m, rbTitle, "T", 10);
         AddBand(m, rbDetail, "D", 10);
         AddBand(m, rbSummary, "S", 10);
       },
       "P1 T@0 D@10 S@20"},
      // Kept as the product always did: a source empty at once prints nothing.
      {"OnNeedDataEmptyAtOncePrintsNothing",
       [](LayoutSubject& m, LayoutTest& t) {
         AddBand(m, rbTitle, "T", 10);
         AddBand(m, rbDetail, "D", 10);
         AddBand(m, rbSummary, "S", 10);
         t.Feed(0);
       },
       ""},
      {"PrintBeforeSubDetailRunsItsWholeLoopBeforeTheDetail",
       [](LayoutSubject& m, LayoutTest& t) {
         AddBand(m, rbDetail, "D", 10);
         auto* sub = AddBand<TQRSubDetail>(m, rbSubDetail, "SD", 10);
         sub->SetHeaderBand(AddBand(m, rbGroupHeader, "SH", 10));
         sub->SetFooterBand(AddBand(m, rbGroupFooter, "SF", 10));
         sub->SetPrintBefore(true);
         auto calls = std::make_shared<int>(0);
         sub->SetOnNeedData([calls](fw::TComponent*, bool& more) { more = ++*calls % 3 != 0; });
         t.Feed(2);
       },
       "P1 SH@0 SD@10 SD@20 SF@30 D@40 SH@50 SD@60 SD@70 SF@80 D@90"},
      {"PrintAfterSubDetailRunsAfterTheDetail",
       [](LayoutSubject& m, LayoutTest& t) {
         AddBand(m, rbDetail, "D", 10);
         auto* sub = AddBand<TQRSubDetail>(m, rbSubDetail, "SD", 10);
         auto calls = std::make_shared<int>(0);
         sub->SetOnNeedData([calls](fw::TComponent*, bool& more) { more = ++*calls % 2 != 0; });
         t.Feed(2);
       },
       "P1 D@0 SD@10 D@20 SD@30"},
      // The group header comes again at the top of page 2, below the page and
      // column headers, but not at the top of column 2.
      {"ReprintOnNewPageOnPageTwoButNotInANewColumn",
       [](LayoutSubject& m, LayoutTest&) {
         m.SetColumns(2);
         m.SetPageLength(250);
         Use(m, {{"A1"}, {"A2"}, {"A3"}, {"A4"}, {"A5"}});
         AddBand(m, rbPageHeader, "PH", 10);
         AddBand(m, rbColumnHeader, "CH", 10);
         AddGroup(m, "GH", "COPY(Name,1,1)", 10, "GF")->ReprintOnNewPage = true;
         AddBand(m, rbDetail, "D", 100);
       },
       "P1 PH@0 CH@10 GH@20 D@30 D@130 C2 CH@300,10 D@300,20 D@300,120 P2 PH@0 CH@10 GH@20 D@30 GF@130"},
      // Closing the preview: no group footer, no summary, no last page footer.
      {"CancelEndsTheLoopWithoutFooters",
       [](LayoutSubject& m, LayoutTest& t) {
         AddGroup(m, "GH", "'X'", 10, "GF");
         AddBand(m, rbDetail, "D", 10);
         AddBand(m, rbSummary, "S", 10);
         AddBand(m, rbPageFooter, "PF", 10);
         auto calls = std::make_shared<int>(0);
         m.SetOnProcessMessages([&m, calls] {
           if (++*calls == 3) m.Cancel();
         });
         t.Feed(5);
       },
       "P1 GH@0 D@10"},
      // The progress window's Cancel: the loop ends, the page is finished.
      {"CancelRequestEndsTheLoopAndFinishesThePage",
       [](LayoutSubject& m, LayoutTest& t) {
         AddGroup(m, "GH", "'X'", 10, "GF");
         AddBand(m, rbDetail, "D", 10);
         AddBand(m, rbSummary, "S", 10);
         AddBand(m, rbPageFooter, "PF", 10);
         auto calls = std::make_shared<int>(0);
         m.SetOnProcessMessages([&m, calls] {
           if (++*calls == 3) m.RequestCancel();
         });
         t.Feed(5);
       },
       "P1 GH@0 D@10 PF@990"},
      // The first forced page break after the title is absorbed.
      {"FirstForcedPageBreakAfterTheTitleIsAbsorbed",
       [](LayoutSubject& m, LayoutTest& t) {
         AddBand(m, rbTitle, "T", 10);
         AddBand(m, rbDetail, "D", 10)->ForceNewPage = true;
         t.Feed(3);
       },
       "P1 T@0 D@10 P2 D@0 P3 D@0"},
  };
  return rows;
}

}  // namespace report::testing
