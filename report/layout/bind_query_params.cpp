#include "report/layout/bind_query_params.h"

#include "report/qr_expr_startup.h"

namespace report {

bool EnvironmentHasName(TQREvEnvironment& environment, std::string_view name) {
  const std::string key = CurrentExpressionPlatform().UpperCase(name);
  for (int i = 0; i < environment.Count(); ++i)
    if (environment.NameAt(i) == key) return true;
  return false;
}

void BindQueryParams(DataQuery& query, TQREvEnvironment& environment, const DateTextConversion& dates) {
  query.Close();
  for (int i = 0; i < query.ParamCount(); ++i) {
    QueryParam& param = query.Param(i);
    const std::string name = param.Name();
    if (!EnvironmentHasName(environment, name)) continue;
    const TQRExprValue value = environment.EntryValue(name);
    switch (param.DataType()) {
      case TFieldType::ftString:
        if (value.Kind == evString) param.SetAsString(value.StrValue);
        break;
      case TFieldType::ftSmallint:
      case TFieldType::ftInteger:
      case TFieldType::ftWord:
        if (value.Kind == evInteger) param.SetAsInteger(value.IntValue);
        break;
      case TFieldType::ftBoolean:
        if (value.Kind == evBoolean) param.SetAsBoolean(value.BoolValue);
        break;
      case TFieldType::ftFloat:
      case TFieldType::ftCurrency:
      case TFieldType::ftBCD:
        if (value.Kind == evFloat) param.SetAsFloat(value.FloatValue);
        break;
      case TFieldType::ftDate:
        if (value.Kind == evString) param.SetAsDate(dates.StrToDate(value.StrValue));
        break;
      case TFieldType::ftTime:
        if (value.Kind == evString) param.SetAsTime(dates.StrToTime(value.StrValue));
        break;
      case TFieldType::ftDateTime:
        if (value.Kind == evString) param.SetAsDateTime(dates.StrToDateTime(value.StrValue));
        break;
      case TFieldType::ftUnknown:
        break;
    }
  }
  query.Open();
}

}  // namespace report
