#include "report/controls/qr_controls.h"

#include <algorithm>

#include "report/controls/line_breaking.h"
#include "report/expressions/float_text.h"
#include "report/layout/qr_bands.h"
#include "report/printing/measures.h"
#include "report/expressions/numeric_picture.h"
#include "report/expressions/startup.h"
#include "report/report/qr_report.h"

namespace report {

// ---------------------------------------------------------------- labels

TQRCustomLabel::TQRCustomLabel(fw::TComponent* owner) : TQRPrintable(owner) {
  SetTransparent(false);
  SetColor(fw::SystemColor(5));  // the window colour
}

TCustomQRReport* TQRCustomLabel::OwningReport() const {
  for (TQRControl* control = Parent(); control; control = control->Parent())
    if (auto* report = dynamic_cast<TCustomQRReport*>(control)) return report;
  return nullptr;
}

void TQRCustomLabel::SetCaption(const std::string& value) {
  caption_ = value;
  PrintText = value;
  InvalidateLines();
  FormatLines();
}

void TQRCustomLabel::SetAutoSize(bool value) {
  autoSize_ = value;
  FormatLines();
}

std::int32_t TQRCustomLabel::FontSize() const {
  const std::int32_t size = Font().Size;
  return size >= 0 ? size : QRRound(-size * 72.0L / QRScreenDpi());
}

void TQRCustomLabel::SetFontSize(std::int32_t points) {
  if (points <= 0) return;
  TQRFontDescription font = Font();
  font.Size = points;
  SetFont(font);
  SetParentFont(false);
  FormatLines();
}

void TQRCustomLabel::SetName(const std::string& name) {
  if (caption_.empty() || caption_ == Name()) SetCaption(name);
  TQRPrintable::SetName(name);
}

void TQRCustomLabel::SetParent(TQRControl* parent) {
  TQRPrintable::SetParent(parent);
  FormatLines();
}

std::int32_t TQRCustomLabel::MeasuredWidth(TCustomQRReport& report, const std::string& text) const {
  return static_cast<std::int32_t>(static_cast<long long>(report.MeasureTextWidth(Font(), text)) * Zoom() /
                                   100);
}

TQRCustomLabel::LineFormat TQRCustomLabel::CurrentLineFormat() const {
  return {Font(), Width(), Zoom(), autoSize_, wordWrap_};
}

void TQRCustomLabel::FormatLines() {
  if (!Parent()) {
    // Lines cleared are lines to break again, whatever they were broken for.
    FormattedLines.clear();
    formatValid_ = false;
    return;
  }
  TCustomQRReport* report = OwningReport();
  if (formatValid_ && formattedFor_ == CurrentLineFormat()) return;
  FormattedLines.clear();
  QRLineBreakRules rules;
  rules.AutoSize = autoSize_;
  rules.WordWrap = wordWrap_;
  // One measure for every run, preview and print alike, so that a page holds
  // the same lines on screen and on paper; a printer sets each line's
  // characters where this measure put them (PrintLines).
  rules.Limit = Width();
  // Without a report there is nothing to measure with: every line fits.
  rules.Measure = [&](const std::string& text) { return report ? MeasuredWidth(*report, text) : 0; };
  rules.IsLeadByte = [](unsigned char byte) { return CurrentExpressionPlatform().IsLeadByte(byte); };
  FormattedLines = BreakLines(PrintText, rules);
  formatValid_ = true;
  formattedFor_ = CurrentLineFormat();
  if (!report || adjusting_) return;
  const int lineHeight =
      static_cast<int>(static_cast<long long>(report->MeasureTextHeight(Font(), "W")) * Zoom() / 100 + 1);
  if (autoSize_) {
    int widest = 0;
    for (const std::string& line : FormattedLines) widest = std::max(widest, MeasuredWidth(*report, line));
    const int frame = QRRound(Frame().Width());
    if (Frame().DrawLeft()) widest += frame;
    if (Frame().DrawRight()) widest += frame;
    adjusting_ = true;
    int left = Left();
    if (Alignment() == taRightJustify) left += Width() - widest;
    if (Alignment() == taCenter) left += (Width() - widest) / 2;
    SetBounds(left, Top(), widest, std::max(Height(), lineHeight));
    adjusting_ = false;
    formattedFor_ = CurrentLineFormat();
  } else if (Height() < lineHeight) {
    adjusting_ = true;
    SetBounds(Left(), Top(), Width(), lineHeight);
    adjusting_ = false;
  }
}

void TQRCustomLabel::PrintPrepare() {
  TQRPrintable::PrintPrepare();
  SetCaption(caption_);
}

void TQRCustomLabel::Print(int offsetX, int offsetY) {
  PrintLines(offsetX, offsetY);
  TQRPrintable::Print(offsetX, offsetY);
}

void TQRCustomLabel::PrintLines(int offsetX, int offsetY) {
  LayoutProducer* producer = Report() ? Report()->Producer() : nullptr;
  if (!producer) return;
  // Lines are spaced by the layout's measure, not the device's, or a printed
  // page would end at another line than the preview's.
  QRPageCanvas& measure = producer->LayoutCanvas();
  measure.SetFont(Font());
  const long double lineHeight = measure.TextHeight("W") / producer->LayoutPixelsPerUnitY();
  QRPageCanvas& canvas = producer->Canvas();
  canvas.SetFont(Font());
  const std::string savedText = PrintText;
  bool replaced = false;
  if (!PrintText.empty() && OnPrint) {
    std::string value = PrintText;
    OnPrint(this, value);
    if (value != PrintText) {
      PrintText = value;
      InvalidateLines();
      replaced = true;
    }
  }
  FormatLines();
  long double x0 = offsetX + Size().NativeLeft();
  long double y0 = offsetY + Size().NativeTop();
  const long double width = Size().NativeWidth();
  const long double height = Size().NativeHeight();
  if (!Transparent()) {
    canvas.SetPen({Color(), 0, fw::TPenStyle::psSolid});
    FillSolid(canvas,
              {producer->ToDeviceX(x0), producer->ToDeviceY(y0), producer->ToDeviceX(x0 + width),
               producer->ToDeviceY(y0 + height)},
              Color());
  }
  TQRFrame& frame = Frame();
  if (!autoSize_ && (frame.DrawTop() || frame.DrawLeft() || frame.DrawBottom() || frame.DrawRight())) {
    const long double inset = QRRound(frame.Width() * 254 / 72);
    if (frame.DrawTop()) y0 += inset;
    if (frame.DrawLeft()) x0 += inset;
  }
  long double bottom = y0 + height + 1;
  long double y = y0;
  canvas.SetTransparentText(true);
  long double x = x0;
  switch (Alignment()) {
    case taLeftJustify:
      canvas.SetTextAlign(QRTextAlign::Left);
      break;
    case taRightJustify:
      canvas.SetTextAlign(QRTextAlign::Right);
      x = x0 + width;
      // A screen-pixel width taken as tenths of a millimetre, as the layout
      // has always placed italic right-aligned text.
      if (Font().Style & qfsItalic)
        if (TCustomQRReport* report = OwningReport()) x -= report->MeasureTextWidth(Font(), " ");
      break;
    case taCenter:
      canvas.SetTextAlign(QRTextAlign::Center);
      x = x0 + width * 0.5L;
      break;
  }
  if (Finished()) LineIndex = 0;
  auto* band = dynamic_cast<TQRCustomBand*>(Parent());
  long double total = 0;
  bool started = false, printed = false;
  const int count = static_cast<int>(FormattedLines.size());
  while (LineIndex < count) {
    bool fits = bottom >= y + lineHeight;
    if (!fits && autoStretch_ && band && band->CanGrow(lineHeight)) {
      band->Grow(total, started, lineHeight);
      bottom = y0 + height + 1 + total;
      fits = true;
    }
    // Where a new column gives no more room, one line prints however little
    // room there is, so that the text moves on.
    if (!fits && autoStretch_ && OnFreshColumn() && !printed) fits = true;
    if (!fits) break;
    const std::string& line = FormattedLines[LineIndex];
    if (!line.empty()) DrawLine(*producer, producer->ToDeviceX(x), producer->ToDeviceY(y), line);
    y += lineHeight;
    ++LineIndex;
    printed = true;
  }
  SetFinished(!(autoStretch_ && LineIndex < count));
  canvas.ResetClip();
  if (replaced) {
    PrintText = savedText;
    InvalidateLines();
    FormatLines();
  }
}

void TQRCustomLabel::DrawLine(LayoutProducer& producer, std::int32_t x, std::int32_t y,
                              const std::string& line) {
  QRPageCanvas& canvas = producer.Canvas();
  TCustomQRReport* report = OwningReport();
  const std::vector<std::int32_t> ends =
      report ? report->MeasureCharacterEnds(Font(), line) : std::vector<std::int32_t>();
  if (ends.size() != line.size()) {
    canvas.TextOut(x, y, line);
    return;
  }
  // Each character where the line was measured when it was broken, scaled to
  // the device: a printer's font sets letters wider or narrower, relative to
  // the paper, than the screen's, and left to itself would run a line past
  // the edge it was broken for. Rounded from the line's start, so no error
  // adds up along it.
  const long double devicePerScreenPixel = producer.PixelsPerUnitX() * 254.0L / QRScreenDpi();
  std::vector<std::int32_t> advances(ends.size());
  std::int32_t previous = 0;
  for (std::size_t i = 0; i < ends.size(); ++i) {
    const std::int32_t end = QRRound(ends[i] * devicePerScreenPixel);
    advances[i] = end - previous;
    previous = end;
  }
  canvas.SpacedTextOut(x, y, line, advances);
}

// ---------------------------------------------------------------- expressions

TQRExpr::TQRExpr(fw::TComponent* owner) : TQRCustomLabel(owner) { SetExpression(""); }

TQRExpr::~TQRExpr() = default;

void TQRExpr::SetExpression(const std::string& value) {
  expression_ = value;
  SetCaption(value.empty() ? "(none)" : value);
}

void TQRExpr::SetMask(const std::string& value) {
  mask_ = value;
  SetExpression(expression_);
}

void TQRExpr::Reset() { evaluator_.Reset(); }

void TQRExpr::PrintPrepare() {
  TQRCustomLabel::PrintPrepare();
  LayoutReport* report = Report();
  if (!report) return;
  evaluator_.SetDataSetList(report->ReportDataSets());
  evaluator_.SetLocalEnvironment(&report->Functions());
  evaluator_.Prepare(expression_);
  auto* ownReport = dynamic_cast<TCustomQRReport*>(report);
  if (Master && Master == ownReport) {
    ownReport->RegisterExpression(this);
  } else if (auto* sub = dynamic_cast<TQRSubDetail*>(Master)) {
    sub->Controller().ExprClients.push_back(this);
  } else if (!Master && evaluator_.HasAggregates() && ownReport) {
    ownReport->RegisterExpression(this);
  }
  Reset();
}

void TQRExpr::NotifyPrintable(fw::TComponent* sender, int operation) {
  TQRCustomLabel::NotifyPrintable(sender, operation);
  if (operation == 0 && evaluator_.Prepared()) evaluator_.AggregatePass();
}

std::string TQRExpr::ValueText() {
  const TQRExprValue value = evaluator_.Value();
  const ExpressionPlatform& platform = CurrentExpressionPlatform();
  switch (value.Kind) {
    case evInteger:
    case evFloat: {
      const double number = value.Kind == evInteger ? value.IntValue : value.FloatValue;
      if (mask_.empty()) return FormatGeneralFloat(number, platform.DecimalSeparator());
      return FormatNumericPicture(mask_, number, platform.DecimalSeparator(), platform.ThousandSeparator());
    }
    case evBoolean:
      return value.BoolValue ? "True" : "False";
    default:
      return value.StrValue;
  }
}

void TQRExpr::Print(int offsetX, int offsetY) {
  if (evaluator_.Prepared()) {
    std::string value = ValueText();
    if (value != PrintText) {
      PrintText = std::move(value);
      InvalidateLines();
    }
    FormatLines();
  }
  TQRCustomLabel::Print(offsetX, offsetY);
  if (ResetAfterPrint) Reset();
}

void TQRExpr::PrintUnprepare() {
  evaluator_.SetDataSetList(nullptr);
  if (evaluator_.Prepared()) evaluator_.Unprepare();
  TQRCustomLabel::PrintUnprepare();
  SetExpression(expression_);
}

// ---------------------------------------------------------------- system data

namespace {

const char* SysDataName(TQRSysDataType data) {
  switch (data) {
    case TQRSysDataType::qrsTime:
      return "Time";
    case TQRSysDataType::qrsDate:
      return "Date";
    case TQRSysDataType::qrsDateTime:
      return "Date/Time";
    case TQRSysDataType::qrsPageNumber:
      return "Page#";
    case TQRSysDataType::qrsReportTitle:
      return "Report title";
    case TQRSysDataType::qrsDetailCount:
      return "Detail count";
    case TQRSysDataType::qrsDetailNo:
      return "Detail no";
  }
  return "";
}

}  // namespace

TQRSysData::TQRSysData(fw::TComponent* owner) : TQRCustomLabel(owner) { ShowDesignCaption(); }

void TQRSysData::ShowDesignCaption() { SetCaption(text_ + "(" + SysDataName(data_) + ")"); }

void TQRSysData::SetData(TQRSysDataType value) {
  data_ = value;
  ShowDesignCaption();
}

void TQRSysData::SetText(const std::string& value) {
  text_ = value;
  ShowDesignCaption();
}

void TQRSysData::Print(int offsetX, int offsetY) {
  TCustomQRReport* report = OwningReport();
  auto* qrReport = dynamic_cast<TQRReport*>(report);
  const ExpressionPlatform& platform = CurrentExpressionPlatform();
  switch (data_) {
    case TQRSysDataType::qrsTime:
      SetCaption(text_ + platform.CurrentShortTimeText());
      break;
    case TQRSysDataType::qrsDate:
      SetCaption(text_ + platform.CurrentShortDateText());
      break;
    case TQRSysDataType::qrsDateTime:
      SetCaption(text_ + platform.CurrentDateTimeText());
      break;
    case TQRSysDataType::qrsPageNumber:
      if (report) SetCaption(text_ + std::to_string(report->PageNo()));
      break;
    case TQRSysDataType::qrsReportTitle:
      if (report) SetCaption(text_ + report->ReportTitle);
      break;
    case TQRSysDataType::qrsDetailCount:
      if (qrReport) SetCaption(text_ + std::to_string(qrReport->DetailCount()));
      break;
    case TQRSysDataType::qrsDetailNo:
      if (qrReport) SetCaption(text_ + std::to_string(qrReport->DetailNo()));
      break;
  }
  TQRCustomLabel::Print(offsetX, offsetY);
}

// ---------------------------------------------------------------- shapes

TQRShape::TQRShape(fw::TComponent* owner) : TQRPrintable(owner) { SetBounds(Left(), Top(), 65, 65); }

void TQRShape::Print(int offsetX, int offsetY) {
  LayoutProducer* producer = Report() ? Report()->Producer() : nullptr;
  if (!producer) return;
  QRPageCanvas& canvas = producer->Canvas();
  canvas.SetBrush(Brush);
  canvas.SetPen(Pen);
  const long double l = Size().NativeLeft() + offsetX, t = Size().NativeTop() + offsetY;
  const long double w = Size().NativeWidth(), h = Size().NativeHeight();
  const std::int32_t L = producer->ToDeviceX(l), T = producer->ToDeviceY(t);
  const std::int32_t R = producer->ToDeviceX(l + w), B = producer->ToDeviceY(t + h);
  auto line = [&](std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
  };
  switch (Shape) {
    case TQRShapeType::qrsRectangle:
      canvas.Rectangle({L, T, R, B});
      break;
    case TQRShapeType::qrsCircle:
      canvas.Ellipse({L, T, R, B});
      break;
    case TQRShapeType::qrsVertLine: {
      const std::int32_t x = producer->ToDeviceX(l + w / 2);
      line(x, T, x, B);
      break;
    }
    case TQRShapeType::qrsHorLine: {
      const std::int32_t y = producer->ToDeviceY(t + h / 2);
      line(L, y, R, y);
      break;
    }
    case TQRShapeType::qrsTopAndBottom:
      line(L, T, R, T);
      line(L, B, R, B);
      break;
    case TQRShapeType::qrsRightAndLeft:
      line(L, T, L, B);
      line(R, T, R, B);
      break;
  }
}

}  // namespace report
