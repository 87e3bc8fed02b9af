// The printable controls placed on bands: word-wrapped labels, expression
// values, system data (time, date, page number, title, detail counts) and
// shapes, all drawn on the page producer's canvas of the running pass.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report/layout/qr_printable.h"
#include "report/expressions/evaluator.h"

namespace report {

class TCustomQRReport;
class TQRCustomLabel;
using TQRLabelOnPrintEvent = std::function<void(TQRCustomLabel* sender, std::string& value)>;

class TQRCustomLabel : public TQRPrintable {
 public:
  explicit TQRCustomLabel(fw::TComponent* owner);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  // The text broken into lines: the caption, or a control's value while it
  // prints. Whoever changes it calls InvalidateLines before FormatLines.
  std::string PrintText;
  std::vector<std::string> FormattedLines;
  int LineIndex = 0;
  TQRLabelOnPrintEvent OnPrint;

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool AutoStretch() const { return autoStretch_; }
  void SetAutoStretch(bool value) { autoStretch_ = value; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value) { wordWrap_ = value; }
  // The stored "FontSize": the font's size in points (a font given by its
  // pixel height counts at the screen's pixels an inch). A stored size above
  // 0 becomes the font's point size; 0, or less, leaves the font alone.
  std::int32_t FontSize() const;
  void SetFontSize(std::int32_t points);

  // Breaks PrintText into FormattedLines, unless they were broken from it
  // already for the same width and font.
  void FormatLines();
  void InvalidateLines() { formatValid_ = false; }
  void SetName(const std::string& name) override;
  void SetParent(TQRControl* parent) override;
  void PrintPrepare() override;

 protected:
  void Print(int offsetX, int offsetY) override;
  // The report the control is placed on (through its bands), or null.
  TCustomQRReport* OwningReport() const;

 private:
  // What the formatted lines were broken for; breaking again for the same
  // gives the same lines.
  struct LineFormat {
    TQRFontDescription Font;
    int Width = 0, Zoom = 0;
    bool AutoSize = false, WordWrap = false;
    friend bool operator==(const LineFormat&, const LineFormat&) = default;
  };
  LineFormat CurrentLineFormat() const;
  std::int32_t MeasuredWidth(TCustomQRReport& report, const std::string& text) const;
  void PrintLines(int x0, int y0);
  // One formatted line at device position (x, y) of the producer's canvas.
  void DrawLine(LayoutProducer& producer, std::int32_t x, std::int32_t y, const std::string& line);

  std::string caption_;
  bool autoSize_ = true;
  bool autoStretch_ = false;
  bool wordWrap_ = true;
  bool adjusting_ = false;
  bool formatValid_ = false;
  LineFormat formattedFor_;
};

class TQRLabel : public TQRCustomLabel {
 public:
  using TQRCustomLabel::TQRCustomLabel;
};

class TQRExpr : public TQRCustomLabel {
 public:
  explicit TQRExpr(fw::TComponent* owner);
  ~TQRExpr() override;

  const std::string& Expression() const { return expression_; }
  void SetExpression(const std::string& value);
  const std::string& Mask() const { return mask_; }
  void SetMask(const std::string& value);
  fw::TComponent* Master = nullptr;
  bool ResetAfterPrint = false;
  void Reset();

  void PrintPrepare() override;
  void PrintUnprepare() override;
  void NotifyPrintable(fw::TComponent* sender, int operation) override;

 protected:
  void Print(int offsetX, int offsetY) override;

 private:
  std::string ValueText();

  std::string expression_;
  std::string mask_;
  TQREvaluator evaluator_;
};

enum class TQRSysDataType : std::uint8_t {
  qrsTime,
  qrsDate,
  qrsDateTime,
  qrsPageNumber,
  qrsReportTitle,
  qrsDetailCount,
  qrsDetailNo
};

class TQRSysData : public TQRCustomLabel {
 public:
  explicit TQRSysData(fw::TComponent* owner);
  TQRSysDataType Data() const { return data_; }
  void SetData(TQRSysDataType value);
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);

 protected:
  void Print(int offsetX, int offsetY) override;

 private:
  void ShowDesignCaption();
  TQRSysDataType data_ = TQRSysDataType::qrsTime;
  std::string text_;
};

enum class TQRShapeType : std::uint8_t {
  qrsRectangle,
  qrsCircle,
  qrsVertLine,
  qrsHorLine,
  qrsTopAndBottom,
  qrsRightAndLeft
};

class TQRShape : public TQRPrintable {
 public:
  explicit TQRShape(fw::TComponent* owner);
  TQRShapeType Shape = TQRShapeType::qrsRectangle;
  QRPen Pen;
  QRBrush Brush;

 protected:
  void Print(int offsetX, int offsetY) override;
};

}  // namespace report
