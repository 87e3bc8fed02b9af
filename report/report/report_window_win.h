// The Windows side of a report: its hidden window, where page producers send
// and post their requests, and text measuring on a memory context that is
// compatible with the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/utility_window.h"
#include "report/report/qr_report.h"

namespace report {

// Gives the report a window handle for the life of this object.
class QRReportWindow {
 public:
  explicit QRReportWindow(TCustomQRReport& report);
  ~QRReportWindow();
  QRReportWindow(const QRReportWindow&) = delete;
  QRReportWindow& operator=(const QRReportWindow&) = delete;
  HWND Handle() const { return window_.Handle(); }

 private:
  TCustomQRReport& report_;
  fw::UtilityWindow window_;
};

class QRScreenTextMeasurer {
 public:
  QRScreenTextMeasurer();
  ~QRScreenTextMeasurer();
  QRScreenTextMeasurer(const QRScreenTextMeasurer&) = delete;
  QRScreenTextMeasurer& operator=(const QRScreenTextMeasurer&) = delete;
  // Extent of the text in screen pixels; false when measuring fails.
  bool Measure(const TQRFontDescription& font, const std::string& text, std::int32_t& width,
               std::int32_t& height);
  // Where each byte of the text ends, in screen pixels from its start.
  bool CharacterEnds(const TQRFontDescription& font, const std::string& text,
                     std::vector<std::int32_t>& ends);

 private:
  // Keeps the last font selected: a report measures with a few fonts, many times.
  bool SelectFont(const TQRFontDescription& font);
  HDC dc_;
  HFONT font_ = nullptr;
  HGDIOBJ original_ = nullptr;
  TQRFontDescription selected_;
};

// True when the system's primary language is Japanese (the report then keeps
// the system's font instead of Arial).
bool QRJapaneseSystem();

}  // namespace report
