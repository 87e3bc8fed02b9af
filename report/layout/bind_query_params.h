// Fills a query's parameters from the report's named expressions of the same
// name, then opens the query again.
#pragma once

#include "report/layout/data_query.h"
#include "report/qr_environment.h"

namespace report {

// True when the environment has an entry named like the parameter.
bool EnvironmentHasName(TQREvEnvironment& environment, std::string_view name);

// A value of another kind than the parameter's type leaves the parameter as it
// was; a date or time text the locale cannot read raises fw::EConvertError
// with the query left closed.
void BindQueryParams(DataQuery& query, TQREvEnvironment& environment, const DateTextConversion& dates);

}  // namespace report
