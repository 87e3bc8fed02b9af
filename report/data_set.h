// Data sets as report expressions see them: named components with fields that
// are read by name when an expression is prepared and by value per record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace report {

enum class FieldKind { String, Integer, Float, Boolean, DateTime, Other };

class DataField {
 public:
  virtual ~DataField() = default;
  virtual std::string FieldName() const = 0;
  virtual FieldKind Kind() const = 0;
  // The field's display text; dates and times in the locale's format.
  virtual std::string AsText() const = 0;
  virtual std::int32_t AsInteger() const = 0;
  virtual double AsFloat() const = 0;
  virtual bool AsBoolean() const = 0;
};

class DataSet {
 public:
  virtual ~DataSet() = default;
  // The component name an expression may put before a field ("Orders.Total").
  virtual std::string Name() const = 0;
  // True when the data set makes its field objects anew at every opening, so a
  // field must be looked up again by position before it is read.
  virtual bool DefaultFields() const = 0;
  virtual int FieldCount() const = 0;
  // Null when index is out of range.
  virtual DataField* FieldAt(int index) const = 0;

  // The record cursor a report's data loop moves. A data set that has none
  // reads as closed, and a report then takes it as no data set at all.
  virtual bool Active() const { return false; }
  virtual void First() {}
  virtual void Next() {}
  virtual void Prior() {}
  // True past the last record (and on an empty data set).
  virtual bool Eof() const { return true; }
  // May raise when the data set cannot count its records.
  virtual int RecordCount() const { return 0; }
};

// A list of data sets; its owner keeps them alive while expressions use them.
using DataSets = std::vector<DataSet*>;

}  // namespace report
