#include "report/expressions/environment.h"

#include "report/pages/error.h"
#include "report/expressions/startup.h"

namespace report {

TQRExprValue TQREvEmbeddedFunction::Evaluate(TQRFiFo&) {
  if (busy_) return MakeError("Recursive calls not allowed");
  struct BusyScope {
    bool& busy;
    explicit BusyScope(bool& flag) : busy(flag) { busy = true; }
    ~BusyScope() { busy = false; }
  } scope(busy_);
  return evaluator_.Value();
}

TQRExprValue TQREvElementWrapper::Evaluate(TQRFiFo& fifo) {
  const std::shared_ptr<TQREvEmbeddedFunction> entry = entry_.lock();
  if (!entry) return MakeError("Unknown function : " + name_);
  return entry->Evaluate(fifo);
}

TQREvEnvironment::TQREvEnvironment() = default;

TQREvEnvironment::~TQREvEnvironment() {
  // Entries unprepare as they go; none may reach back into this environment.
  shuttingDown_ = true;
  entries_.clear();
}

TQREvEnvironment::Entry* TQREvEnvironment::Find(std::string_view name) {
  const std::string key = CurrentExpressionPlatform().UpperCase(name);
  for (Entry& entry : entries_)
    if (entry.name == key) return &entry;
  return nullptr;
}

void TQREvEnvironment::PrepareEntry(Entry& entry) {
  TQREvaluator& evaluator = entry.function->Evaluator();
  evaluator.SetDataSetList(DataSetList());
  evaluator.SetLocalEnvironment(this);
  evaluator.Prepare(entry.function->Expression());
}

void TQREvEnvironment::AddEntry(std::string_view name, std::string_view expression) {
  if (Find(name)) return;
  entries_.push_back(
      {CurrentExpressionPlatform().UpperCase(name), std::make_shared<TQREvEmbeddedFunction>(expression)});
  // An entry added to an environment in use must be usable at once.
  if (prepareCount_ > 0) PrepareEntry(entries_.back());
}

void TQREvEnvironment::RemoveEntry(std::string_view name) {
  const std::string key = CurrentExpressionPlatform().UpperCase(name);
  std::erase_if(entries_, [&](const Entry& entry) { return entry.name == key; });
}

std::unique_ptr<TQREvElement> TQREvEnvironment::EntryElement(std::string_view name) {
  if (Entry* entry = Find(name)) return std::make_unique<TQREvElementWrapper>(entry->function, entry->name);
  return std::make_unique<TQREvElementError>("Unknown function : " + std::string(name));
}

TQRExprValue TQREvEnvironment::EntryValue(std::string_view name) {
  Entry* entry = Find(name);
  if (!entry) return MakeError("Unknown function : " + std::string(name));
  const std::shared_ptr<TQREvEmbeddedFunction> function = entry->function;
  TQRFiFo unused;
  return function->Evaluate(unused);
}

TQREvElement* TQREvEnvironment::FirstElement(std::string_view name) {
  Entry* entry = Find(name);
  if (!entry) return nullptr;
  TQRFiFo* queue = entry->function->Evaluator().Queue();
  if (!queue || queue->Elements().empty()) return nullptr;
  return queue->Elements().front().get();
}

void TQREvEnvironment::SetInteger(TQREvElement* element, std::int32_t value) {
  if (auto* constant = dynamic_cast<TQREvElementConstant*>(element)) constant->Value = MakeInteger(value);
}

void TQREvEnvironment::SetString(TQREvElement* element, std::string_view text) {
  if (auto* string = dynamic_cast<TQREvElementString*>(element)) string->Text = CutExprText(text);
}

void TQREvEnvironment::SetConstant(TQREvElement* element, const TQRExprValue& value) {
  if (auto* constant = dynamic_cast<TQREvElementConstant*>(element)) {
    constant->Value = value;
  } else if (auto* string = dynamic_cast<TQREvElementString*>(element)) {
    if (value.Kind == evString) string->Text = CutExprText(value.StrValue);
  }
}

DataSets* TQREvEnvironment::DataSetList() {
  if (!dataSetList_) {
    ownedDataSetList_ = std::make_unique<DataSets>();
    dataSetList_ = ownedDataSetList_.get();
  }
  return dataSetList_;
}

void TQREvEnvironment::SetDataSetList(DataSets* list) {
  if (list == dataSetList_) return;
  dataSetList_ = list;
  ownedDataSetList_.reset();
}

void TQREvEnvironment::Prepare() {
  if (shuttingDown_) return;
  if (++prepareCount_ != 1) return;
  for (Entry& entry : entries_) PrepareEntry(entry);
}

void TQREvEnvironment::Unprepare() {
  if (shuttingDown_ || prepareCount_ == 0) return;
  if (--prepareCount_ != 0) return;
  for (Entry& entry : entries_) entry.function->Evaluator().Unprepare();
}

void TQREvEnvironment::Clear() { entries_.clear(); }

std::vector<std::string> TQREvEnvironment::Names() const {
  std::vector<std::string> names;
  for (const Entry& entry : entries_) names.push_back(entry.name);
  return names;
}

std::vector<std::string> TQREvEnvironment::DataStrings() const {
  std::vector<std::string> data;
  for (const Entry& entry : entries_) data.push_back(entry.function->Expression());
  return data;
}

void TQREvEnvironment::ReadStrings(const std::vector<std::string>& names,
                                   const std::vector<std::string>& data) {
  if (names.size() != data.size())
    throw EQRError("The report's functions are damaged: " + std::to_string(names.size()) + " names but " +
                   std::to_string(data.size()) + " expressions");
  Clear();
  for (std::size_t i = 0; i < names.size(); ++i) AddEntry(names[i], data[i]);
}

}  // namespace report
