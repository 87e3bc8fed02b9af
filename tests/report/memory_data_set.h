// An in-memory data set for expression tests: named fields over a list of
// records, with a cursor and a "reopen" that makes new field objects the way
// a data set without persistent fields does.
#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "report/data_set.h"

namespace report::testing {

using Cell = std::variant<std::string, std::int32_t, double, bool>;

class MemoryDataSet : public DataSet {
 public:
  struct Column {
    std::string name;
    FieldKind kind;
  };

  MemoryDataSet(std::string name, std::vector<Column> columns, bool defaultFields = false)
      : name_(std::move(name)), columns_(std::move(columns)), defaultFields_(defaultFields) {
    MakeFields();
  }

  void AddRecord(std::vector<Cell> cells) { records_.push_back(std::move(cells)); }
  // The cursor stays on the last record when Next reaches the end, and Prior
  // from the end returns to the record before it, as a database cursor does.
  void First() override {
    current_ = 0;
    eof_ = records_.empty();
  }
  void Next() override {
    if (current_ + 1 < records_.size())
      ++current_;
    else
      eof_ = true;
  }
  void Prior() override {
    eof_ = false;
    if (current_ > 0) --current_;
  }
  bool Eof() const override { return eof_ || records_.empty(); }
  int RecordCount() const override { return static_cast<int>(records_.size()); }
  bool Active() const override { return active_; }
  void SetActive(bool active) { active_ = active; }
  // Closes and opens again: every field object is made anew.
  void Reopen() {
    MakeFields();
    First();
  }

  std::string Name() const override { return name_; }
  bool DefaultFields() const override { return defaultFields_; }
  int FieldCount() const override { return static_cast<int>(fields_.size()); }
  DataField* FieldAt(int index) const override {
    return index >= 0 && index < FieldCount() ? fields_[static_cast<std::size_t>(index)].get() : nullptr;
  }

 private:
  class Field : public DataField {
   public:
    Field(const MemoryDataSet& owner, std::size_t column) : owner_(owner), column_(column) {}
    std::string FieldName() const override { return owner_.columns_[column_].name; }
    FieldKind Kind() const override { return owner_.columns_[column_].kind; }
    std::string AsText() const override {
      const Cell& cell = Current();
      if (auto* text = std::get_if<std::string>(&cell)) return *text;
      if (auto* number = std::get_if<std::int32_t>(&cell)) return std::to_string(*number);
      return {};
    }
    std::int32_t AsInteger() const override {
      auto* number = std::get_if<std::int32_t>(&Current());
      return number ? *number : 0;
    }
    double AsFloat() const override {
      auto* number = std::get_if<double>(&Current());
      return number ? *number : 0.0;
    }
    bool AsBoolean() const override {
      auto* flag = std::get_if<bool>(&Current());
      return flag && *flag;
    }

   private:
    const Cell& Current() const { return owner_.records_.at(owner_.current_).at(column_); }
    const MemoryDataSet& owner_;
    std::size_t column_;
  };

  void MakeFields() {
    fields_.clear();
    for (std::size_t i = 0; i < columns_.size(); ++i) fields_.push_back(std::make_unique<Field>(*this, i));
  }

  std::string name_;
  std::vector<Column> columns_;
  bool defaultFields_;
  std::vector<std::vector<Cell>> records_;
  std::size_t current_ = 0;
  bool eof_ = false;
  bool active_ = true;
  std::vector<std::unique_ptr<Field>> fields_;
};

}  // namespace report::testing
