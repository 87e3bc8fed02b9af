// Queries as a report's data loop sees them: a data set that is closed and
// opened again around new parameter values, taken from the report's named
// expressions before each run of the loop.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/data_set.h"

namespace report {

enum class TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime
};

class QueryParam {
 public:
  virtual ~QueryParam() = default;
  virtual std::string Name() const = 0;
  virtual TFieldType DataType() const = 0;
  virtual void SetAsString(std::string_view value) = 0;
  virtual void SetAsInteger(std::int32_t value) = 0;
  virtual void SetAsBoolean(bool value) = 0;
  virtual void SetAsFloat(double value) = 0;
  // Dates and times in days since 30 December 1899, the time as the fraction.
  virtual void SetAsDate(double value) = 0;
  virtual void SetAsTime(double value) = 0;
  virtual void SetAsDateTime(double value) = 0;
};

class DataQuery : public DataSet {
 public:
  virtual void Close() = 0;
  virtual void Open() = 0;
  virtual int ParamCount() const = 0;
  virtual QueryParam& Param(int index) = 0;
};

// The locale's reading of date and time texts; a text it cannot read raises
// fw::EConvertError.
class DateTextConversion {
 public:
  virtual ~DateTextConversion() = default;
  virtual double StrToDate(std::string_view text) const = 0;
  virtual double StrToTime(std::string_view text) const = 0;
  virtual double StrToDateTime(std::string_view text) const = 0;
};

}  // namespace report
