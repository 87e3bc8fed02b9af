#include "report/report/report_window_win.h"

#include <cstring>

namespace report {

QRReportWindow::QRReportWindow(TCustomQRReport& report)
    : report_(report), window_([this](fw::TMessage& message) {
        if (message.Msg != QRM_PRINT && message.Msg != QRM_CLOSEPREVIEW) return false;
        report_.HandleWindowMessage(message.Msg, static_cast<std::intptr_t>(message.LParam));
        return true;
      }) {
  report_.WindowHandle = reinterpret_cast<QRWindow>(window_.Handle());
}

QRReportWindow::~QRReportWindow() { report_.WindowHandle = 0; }

QRScreenTextMeasurer::QRScreenTextMeasurer() : dc_(CreateCompatibleDC(nullptr)) {}

QRScreenTextMeasurer::~QRScreenTextMeasurer() {
  if (original_) SelectObject(dc_, original_);
  if (font_) DeleteObject(font_);
  if (dc_) DeleteDC(dc_);
}

bool QRScreenTextMeasurer::SelectFont(const TQRFontDescription& font) {
  if (font_ && font == selected_) return true;
  LOGFONTA logFont{};
  // A negative size is already a height in pixels.
  logFont.lfHeight = font.Size < 0 ? font.Size : -MulDiv(font.Size, GetDeviceCaps(dc_, LOGPIXELSY), 72);
  logFont.lfWeight = (font.Style & qfsBold) ? FW_BOLD : FW_NORMAL;
  logFont.lfItalic = (font.Style & qfsItalic) ? TRUE : FALSE;
  logFont.lfUnderline = (font.Style & qfsUnderline) ? TRUE : FALSE;
  logFont.lfStrikeOut = (font.Style & qfsStrikeOut) ? TRUE : FALSE;
  logFont.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(logFont.lfFaceName, font.Name.c_str(), LF_FACESIZE - 1);
  HFONT handle = CreateFontIndirectA(&logFont);
  if (!handle) return false;
  HGDIOBJ previous = SelectObject(dc_, handle);
  if (!original_) original_ = previous;
  if (font_) DeleteObject(font_);
  font_ = handle;
  selected_ = font;
  return true;
}

bool QRScreenTextMeasurer::Measure(const TQRFontDescription& font, const std::string& text,
                                   std::int32_t& width, std::int32_t& height) {
  if (!dc_ || !SelectFont(font)) return false;
  SIZE extent{};
  if (!GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &extent)) return false;
  width = extent.cx;
  height = extent.cy;
  return true;
}

bool QRScreenTextMeasurer::CharacterEnds(const TQRFontDescription& font, const std::string& text,
                                         std::vector<std::int32_t>& ends) {
  ends.assign(text.size(), 0);
  if (text.empty()) return true;
  if (!dc_ || !SelectFont(font)) return false;
  std::vector<INT> partial(text.size());
  SIZE extent{};
  if (!GetTextExtentExPointA(dc_, text.data(), static_cast<int>(text.size()), 0, nullptr, partial.data(),
                             &extent))
    return false;
  ends.assign(partial.begin(), partial.end());
  return true;
}

bool QRJapaneseSystem() { return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_JAPANESE; }

}  // namespace report
