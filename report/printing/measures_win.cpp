#include "report/printing/measures_win.h"

#include <windows.h>

#include "framework/graphics.h"
#include "report/printing/measures.h"

namespace report {

void InitReportMeasures() {
  // LOCALE_IMEASURE is "0" for metric and "1" for the US system.
  char measure[4] = {};
  DefaultInches = GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IMEASURE, measure, sizeof measure) > 0 &&
                  measure[0] == '1';
  SetQRScreenDpi(fw::ScreenPixelsPerInch());
}

}  // namespace report
