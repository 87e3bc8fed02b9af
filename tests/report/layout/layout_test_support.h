// Set-up shared by the layout tables: the expression engine on a fixed
// platform, a page model, and rows that build a layout and name the trace it
// must give.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "report/expr_platform_fixed.h"
#include "report/qr_expr_startup.h"
#include "tests/report/layout/page_model.h"

namespace report::testing {

class LayoutTest : public ::testing::Test {
 public:
  LayoutTest() : engine_(platform_), model_(std::make_unique<PageModel>()) {}

  // Answers OnNeedData with `records` records, counting the calls.
  void Feed(int records) {
    subject().SetOnNeedData([this, records](fw::TComponent*, bool& moreData) {
      ++needDataCalls_;
      moreData = given_ < records;
      if (moreData) ++given_;
    });
  }
  // Writes "before:NAME" and "after:NAME=0|1" into the trace around the band's print.
  void Watch(TQRCustomBand* band) {
    Trace& trace = subject().GetTrace();
    const std::string name = band->Name();
    band->BeforePrint = [&trace, name](TQRCustomBand*, bool&) { trace.Add("before:" + name); };
    band->AfterPrint = [&trace, name](TQRCustomBand*, bool printed) {
      trace.Add("after:" + name + "=" + (printed ? "1" : "0"));
    };
  }

  // The report the tables run on.
  virtual LayoutSubject& subject() { return *model_; }

  FixedExpressionPlatform platform_;
  ReportExpressionsScope engine_;
  std::unique_ptr<PageModel> model_;
  int needDataCalls_ = 0;
  int given_ = 0;
};

// One row of a layout table: a fixture built on the model and the trace a
// pass over it must write.
struct LayoutRow {
  const char* name;
  std::function<void(LayoutSubject&, LayoutTest&)> build;
  std::string trace;
};

// "name.from@y ... name.to@y'": lines of a stretching text, `step` apart.
inline std::string Lines(const std::string& name, int from, int to, int y, int step) {
  std::string text;
  for (int i = from; i <= to; ++i, y += step) {
    if (!text.empty()) text += ' ';
    text += name + "." + std::to_string(i) + "@" + std::to_string(y);
  }
  return text;
}

// A child band for `band`, named and coloured for the trace.
inline TQRCustomBand* AddChild(LayoutSubject& subject, TQRCustomBand* band, const std::string& name,
                               int height) {
  band->SetHasChild(true);
  TQRCustomBand* child = band->ChildBand();
  child->SetName(name);
  child->SetUnits(TQRUnit::Native);
  child->Size().SetHeight(height);
  child->SetColor(NextBandColour());
  subject.GetTrace().Name(child->Color(), name);
  return child;
}

inline std::ostream& operator<<(std::ostream& out, const LayoutRow& row) { return out << row.name; }

}  // namespace report::testing

namespace report::testing {

// A stretching text at the top left of the band, `height` native high.
inline StretchText* AddText(LayoutSubject& subject, TQRCustomBand* band, const std::string& name, int lines,
                            int lineHeight, int height = 100) {
  auto* text = new StretchText(&subject.Report(), subject.GetTrace(), name, lines, lineHeight);
  text->SetParent(band);
  text->Size().SetUnits(TQRUnit::Native);
  text->Size().SetLeft(0);
  text->Size().SetTop(0);
  text->Size().SetWidth(100);
  text->Size().SetHeight(height);
  return text;
}

// The frame's top side, in a colour the trace names.
inline void FrameTop(LayoutSubject& subject, TQRFrame& frame, TColor color, const std::string& name) {
  frame.SetColor(color);
  frame.SetDrawTop(true);
  subject.GetTrace().Name(color, name);
}

}  // namespace report::testing
