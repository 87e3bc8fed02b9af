// Start-up of the report measures from the system: the measurement setting of
// the system's default locale and the screen's resolution.
#pragma once

namespace report {

// Sets DefaultInches and the screen resolution measures take. Call once
// before the first report is built.
void InitReportMeasures();

}  // namespace report
