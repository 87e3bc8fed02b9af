#include "report/report/export_filters.h"

namespace report {

TQRExportFilterLibrary* QRExportFilterLibrary = nullptr;

}  // namespace report
