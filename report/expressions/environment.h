// Environments: named expressions that other expressions refer to by name.
// Every report has one (its variables such as PAGENUMBER); the global
// environment holds the start-up entries.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/expressions/data_set.h"
#include "report/expressions/elements.h"
#include "report/expressions/evaluator.h"

namespace report {

// One entry: an expression with its own evaluator. A busy flag refuses an
// entry that refers back to itself.
class TQREvEmbeddedFunction : public TQREvElement {
 public:
  explicit TQREvEmbeddedFunction(std::string_view expression) : expression_(expression) {}
  TQRExprValue Evaluate(TQRFiFo& fifo) override;
  void Reset() override { evaluator_.Reset(); }

  const std::string& Expression() const { return expression_; }
  TQREvaluator& Evaluator() { return evaluator_; }

 private:
  std::string expression_;
  TQREvaluator evaluator_;
  bool busy_ = false;
};

// Stands in an expression's queue for an environment entry it names. It does
// not own the entry and outlives it safely: a removed entry reads as unknown.
class TQREvElementWrapper : public TQREvElement {
 public:
  TQREvElementWrapper(std::weak_ptr<TQREvEmbeddedFunction> entry, std::string_view name)
      : entry_(std::move(entry)), name_(name) {}
  // Forwards Evaluate only: resetting an expression leaves the entries' aggregates alone.
  TQRExprValue Evaluate(TQRFiFo& fifo) override;

 private:
  std::weak_ptr<TQREvEmbeddedFunction> entry_;
  std::string name_;
};

class TQREvEnvironment {
 public:
  TQREvEnvironment();
  ~TQREvEnvironment();
  TQREvEnvironment(const TQREvEnvironment&) = delete;
  TQREvEnvironment& operator=(const TQREvEnvironment&) = delete;

  // Adds an entry unless the name is present already (then nothing changes).
  void AddEntry(std::string_view name, std::string_view expression);
  void RemoveEntry(std::string_view name);
  // A wrapper of the entry, or an error element "Unknown function : NAME".
  std::unique_ptr<TQREvElement> EntryElement(std::string_view name);
  TQRExprValue EntryValue(std::string_view name);
  // The first element of the entry's prepared queue, or null.
  TQREvElement* FirstElement(std::string_view name);

  // Change a constant entry in place, turning it into a variable.
  static void SetInteger(TQREvElement* element, std::int32_t value);
  static void SetString(TQREvElement* element, std::string_view text);
  static void SetConstant(TQREvElement* element, const TQRExprValue& value);

  // The data sets given to the entries; an empty owned list when none is set.
  DataSets* DataSetList();
  void SetDataSetList(DataSets* list);

  // Counted: the entries are prepared on the first Prepare and unprepared
  // when the last Unprepare balances it.
  void Prepare();
  void Unprepare();
  int PrepareCount() const { return prepareCount_; }

  void Clear();
  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& NameAt(int index) const { return entries_.at(static_cast<std::size_t>(index)).name; }
  // The names and, in the same order, the "DATA" list of expressions.
  std::vector<std::string> Names() const;
  std::vector<std::string> DataStrings() const;
  // Replaces the entries with stored ones; raises EQRError (and keeps the
  // present entries) when the two lists differ in length.
  void ReadStrings(const std::vector<std::string>& names, const std::vector<std::string>& data);

 private:
  struct Entry {
    std::string name;
    std::shared_ptr<TQREvEmbeddedFunction> function;
  };
  Entry* Find(std::string_view name);
  void PrepareEntry(Entry& entry);

  std::vector<Entry> entries_;
  int prepareCount_ = 0;
  DataSets* dataSetList_ = nullptr;
  std::unique_ptr<DataSets> ownedDataSetList_;
  bool shuttingDown_ = false;
};

}  // namespace report
