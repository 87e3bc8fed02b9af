// Prepares an expression text once into a queue of elements and evaluates the
// queue per record. Faults in the text become error values, never exceptions.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "report/expressions/data_set.h"
#include "report/expressions/elements.h"
#include "report/expressions/value.h"

namespace report {

class TQREvEnvironment;

class TQREvaluator {
 public:
  TQREvaluator();
  virtual ~TQREvaluator();
  TQREvaluator(const TQREvaluator&) = delete;
  TQREvaluator& operator=(const TQREvaluator&) = delete;

  // The environment asked first for names (not owned; may be null).
  TQREvEnvironment* LocalEnvironment() const { return localEnvironment_; }
  void SetLocalEnvironment(TQREvEnvironment* environment) { localEnvironment_ = environment; }
  // The data sets whose fields names may denote (not owned; may be null).
  DataSets* DataSetList() const { return dataSetList_; }
  void SetDataSetList(DataSets* list) { dataSetList_ = list; }

  void Prepare(std::string_view text);
  // Raises fw::Exception "Evaluator not prepared" when not prepared.
  TQRExprValue Value();
  // Evaluates once so that aggregate functions take in the current record.
  void AggregatePass();
  void Reset();
  bool HasAggregates() const;
  void Unprepare();

  bool Prepared() const { return prepared_; }
  // The prepared queue, or null.
  TQRFiFo* Queue() const { return fifo_.get(); }

 protected:
  virtual void AddFunction(std::string_view name, std::string_view argumentText);
  virtual void AddFieldOrVariable(std::string_view name);

 private:
  void ParseComparison(std::string_view text);
  void ParseAdditive(std::string_view text);
  void ParseMultiplicative(std::string_view text);
  void ParseFactor(std::string_view text);
  void ParseNumber(std::string_view text);
  void ParseName(std::string_view text);
  void PutError(std::string_view message);
  bool FindField(std::string_view name);
  TQRExprValue EvaluateQueue(bool aggregating);

  TQREvEnvironment* localEnvironment_ = nullptr;
  DataSets* dataSetList_ = nullptr;
  std::unique_ptr<TQRFiFo> fifo_;
  bool prepared_ = false;
  bool holdsGlobalEnvironment_ = false;
  int parseDepth_ = 0;
};

}  // namespace report
