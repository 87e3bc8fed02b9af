#include "report/expressions/evaluator.h"

#include <optional>

#include "framework/exceptions.h"
#include "report/expressions/float_text.h"
#include "report/expressions/environment.h"
#include "report/expressions/startup.h"
#include "report/expressions/library.h"

namespace report {

namespace {

// Deeper nesting than this is refused with an error element, so that neither
// parsing nor evaluation can run out of stack.
constexpr int kMaxParseDepth = 400;

struct OperatorHit {
  std::size_t position;  // 0-based start of the operator text
  std::size_t length;
  std::uint8_t code;
};

// Tracks quotes and parenthesis depth while a text is scanned left to right.
class NestingState {
 public:
  void Take(char c) {
    if (c == '\'') {
      inQuote_ = !inQuote_;
    } else if (!inQuote_) {
      if (c == '(') ++depth_;
      if (c == ')') --depth_;
    }
  }
  bool AtTopLevel() const { return depth_ == 0 && !inQuote_; }

 private:
  bool inQuote_ = false;
  int depth_ = 0;
};

bool StartsWithLower(std::string_view text, std::size_t at, std::string_view word) {
  if (at + word.size() > text.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    char c = text[at + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i]) return false;
  }
  return true;
}

// A "+" or "-" is a binary operator only after an operand: a non-blank
// character that is not itself an operator or an opening parenthesis.
bool IsBinarySign(std::string_view text, std::size_t at) {
  std::size_t i = at;
  while (i > 0 && text[i - 1] == ' ') --i;
  if (i == 0) return false;
  return std::string_view("+-*/<>=(").find(text[i - 1]) == std::string_view::npos;
}

using LevelMatcher = std::optional<OperatorHit> (*)(std::string_view text, std::size_t at);

std::optional<OperatorHit> MatchComparison(std::string_view text, std::size_t at) {
  const char next = text[at + 1];  // the last character is never scanned
  switch (text[at]) {
    case '<':
      if (next == '>') return OperatorHit{at, 2, opNotEqual};
      if (next == '=') return OperatorHit{at, 2, opLessOrEqual};
      return OperatorHit{at, 1, opLess};
    case '=':
      return OperatorHit{at, 1, opEqual};
    case '>':
      if (next == '=') return OperatorHit{at, 2, opGreaterOrEqual};
      return OperatorHit{at, 1, opGreater};
    default:
      return std::nullopt;
  }
}

std::optional<OperatorHit> MatchAdditive(std::string_view text, std::size_t at) {
  const char c = text[at];
  if ((c == '+' || c == '-') && IsBinarySign(text, at))
    return OperatorHit{at, 1, c == '+' ? opPlus : opMinus};
  if (c == ' ' && StartsWithLower(text, at + 1, "or ")) return OperatorHit{at + 1, 2, opOr};
  return std::nullopt;
}

std::optional<OperatorHit> MatchMultiplicative(std::string_view text, std::size_t at) {
  const char c = text[at];
  if (c == '*') return OperatorHit{at, 1, opMultiply};
  if (c == '/') return OperatorHit{at, 1, opDivide};
  if (c == ' ' && StartsWithLower(text, at + 1, "and ")) return OperatorHit{at + 1, 3, opAnd};
  return std::nullopt;
}

// The leftmost operator of a level outside quotes and parentheses. The first
// character is never an operator (a leading sign), nor is the last.
std::optional<OperatorHit> FindOperator(std::string_view text, LevelMatcher match) {
  NestingState state;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    state.Take(text[i]);
    if (i >= 1 && state.AtTopLevel())
      if (auto hit = match(text, i)) return hit;
  }
  return std::nullopt;
}

// Right part of a subtraction: a - b + c is a - (b - c), so the binary signs
// of the right part swap. Unary signs keep their meaning.
std::string ExchangeBinarySigns(std::string_view text) {
  std::string result(text);
  NestingState state;
  for (std::size_t i = 0; i < text.size(); ++i) {
    state.Take(text[i]);
    if (!state.AtTopLevel() || (text[i] != '+' && text[i] != '-') || !IsBinarySign(text, i)) continue;
    result[i] = text[i] == '+' ? '-' : '+';
  }
  return result;
}

// Right part of a division: a / b * c is a / (b / c).
std::string ExchangeMultiplicative(std::string_view text) {
  std::string result(text);
  NestingState state;
  for (std::size_t i = 0; i < text.size(); ++i) {
    state.Take(text[i]);
    if (!state.AtTopLevel()) continue;
    if (text[i] == '*') result[i] = '/';
    if (text[i] == '/') result[i] = '*';
  }
  return result;
}

// Leading blanks go while more than one character remains, then trailing ones.
std::string_view TrimFactor(std::string_view text) {
  while (text.size() > 1 && text.front() == ' ') text.remove_prefix(1);
  while (text.size() > 1 && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string NumericConstantError(std::string_view text) {
  return "Illegal character in numeric contant \"" + std::string(text) + "\"";
}

// Counts the nesting of parse calls for the depth limit.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  bool TooDeep() const { return depth_ > kMaxParseDepth; }

 private:
  int& depth_;
};

}  // namespace

TQREvaluator::TQREvaluator() = default;

TQREvaluator::~TQREvaluator() { Unprepare(); }

void TQREvaluator::Prepare(std::string_view text) {
  if (prepared_) Unprepare();
  // The global environment's own entries do not count as users of it.
  if (QRGlobalEnvironment && localEnvironment_ != QRGlobalEnvironment) {
    QRGlobalEnvironment->Prepare();
    holdsGlobalEnvironment_ = true;
  }
  fifo_ = std::make_unique<TQRFiFo>();
  parseDepth_ = 0;
  ParseComparison(text.empty() ? std::string_view("' '") : text);
  prepared_ = true;
}

void TQREvaluator::Unprepare() {
  fifo_.reset();
  prepared_ = false;
  if (holdsGlobalEnvironment_) {
    holdsGlobalEnvironment_ = false;
    if (QRGlobalEnvironment) QRGlobalEnvironment->Unprepare();
  }
}

TQRExprValue TQREvaluator::EvaluateQueue(bool aggregating) {
  if (!prepared_) throw fw::Exception("Evaluator not prepared");
  struct FlagReset {
    TQRFiFo& fifo;
    ~FlagReset() { fifo.Aggregating = false; }
  } flagReset{*fifo_};
  fifo_->Aggregating = aggregating;
  fifo_->Rewind();
  return EvaluateNext(*fifo_);
}

TQRExprValue TQREvaluator::Value() { return EvaluateQueue(false); }

void TQREvaluator::AggregatePass() { EvaluateQueue(true); }

void TQREvaluator::Reset() {
  if (!fifo_) return;
  for (const auto& element : fifo_->Elements()) element->Reset();
}

bool TQREvaluator::HasAggregates() const {
  if (!fifo_) return false;
  for (const auto& element : fifo_->Elements())
    if (element->IsAggregate) return true;
  return false;
}

void TQREvaluator::PutError(std::string_view message) {
  fifo_->Put(std::make_unique<TQREvElementError>(message));
}

void TQREvaluator::ParseComparison(std::string_view text) {
  DepthGuard depth(parseDepth_);
  if (depth.TooDeep()) return PutError("Expression too complex");
  const auto hit = FindOperator(text, MatchComparison);
  if (!hit) return ParseAdditive(text);
  fifo_->Put(std::make_unique<TQREvElementOperator>(hit->code));
  ParseAdditive(text.substr(0, hit->position));
  ParseAdditive(text.substr(hit->position + hit->length));
}

void TQREvaluator::ParseAdditive(std::string_view text) {
  DepthGuard depth(parseDepth_);
  if (depth.TooDeep()) return PutError("Expression too complex");
  const auto hit = FindOperator(text, MatchAdditive);
  if (!hit) return ParseMultiplicative(text);
  fifo_->Put(std::make_unique<TQREvElementOperator>(hit->code));
  ParseMultiplicative(text.substr(0, hit->position));
  const std::string_view right = text.substr(hit->position + hit->length);
  if (hit->code == opMinus)
    ParseAdditive(ExchangeBinarySigns(right));
  else
    ParseAdditive(right);
}

void TQREvaluator::ParseMultiplicative(std::string_view text) {
  DepthGuard depth(parseDepth_);
  if (depth.TooDeep()) return PutError("Expression too complex");
  const auto hit = FindOperator(text, MatchMultiplicative);
  if (!hit) return ParseFactor(text);
  fifo_->Put(std::make_unique<TQREvElementOperator>(hit->code));
  ParseFactor(text.substr(0, hit->position));
  const std::string_view right = text.substr(hit->position + hit->length);
  if (hit->code == opDivide)
    ParseMultiplicative(ExchangeMultiplicative(right));
  else
    ParseMultiplicative(right);
}

void TQREvaluator::ParseFactor(std::string_view text) {
  DepthGuard depth(parseDepth_);
  if (depth.TooDeep()) return PutError("Expression too complex");
  text = TrimFactor(text);
  if (text.empty()) return PutError("Missing operand");
  if (StartsWithLower(text, 0, "not")) return ParseAdditive("0-" + std::string(text.substr(3)));

  const char first = text.front();
  const char last = text.back();
  switch (first) {
    case '\'':
      if (last != '\'') return PutError("Missing '");
      // A lone quote is both the opening and the closing one: the empty string.
      fifo_->Put(std::make_unique<TQREvElementString>(text.size() < 2 ? std::string_view()
                                                                      : text.substr(1, text.size() - 2)));
      return;
    case '(':
      if (last != ')') return PutError("Missing )");
      return ParseComparison(text.size() < 2 ? std::string_view() : text.substr(1, text.size() - 2));
    case '+':
      return ParseFactor(text.substr(1));
    case '-':
      return ParseAdditive("0-" + std::string(text.substr(1)));
    case '[':
      if (last != ']' || text.size() < 2 || IsTrailByteAt(CurrentExpressionPlatform(), text, text.size() - 1))
        return PutError("Missing ]");
      return AddFieldOrVariable(text.substr(1, text.size() - 2));
    default:
      break;
  }
  if (IsDigit(first)) return ParseNumber(text);
  if (IsLetter(first)) return ParseName(text);
  PutError("Error in expression : " + std::string(text));
}

void TQREvaluator::ParseNumber(std::string_view text) {
  std::size_t digits = 0;
  while (digits < text.size() && IsDigit(text[digits])) ++digits;
  if (digits == text.size()) {
    std::int64_t value = 0;
    for (char c : text) {
      value = value * 10 + (c - '0');
      if (value > INT32_MAX) return PutError(NumericConstantError(text));
    }
    fifo_->Put(std::make_unique<TQREvElementConstant>(MakeInteger(static_cast<std::int32_t>(value))));
    return;
  }
  for (char c : text.substr(digits))
    if (!IsDigit(c) && std::string_view("+-.Ee").find(c) == std::string_view::npos)
      return PutError(NumericConstantError(text));

  const char separator = CurrentExpressionPlatform().DecimalSeparator();
  std::string localText(text);
  if (separator != '.')
    for (char& c : localText)
      if (c == '.') c = separator;
  double value = 0.0;
  if (!TextToFloat(localText, separator, value)) return PutError(NumericConstantError(localText));
  fifo_->Put(std::make_unique<TQREvElementConstant>(MakeFloat(value)));
}

void TQREvaluator::ParseName(std::string_view text) {
  const std::size_t open = text.find('(');
  if (open == std::string_view::npos) return AddFunction(text, {});
  if (text.back() != ')') return AddFunction({}, {});
  AddFunction(text.substr(0, open), text.substr(open + 1, text.size() - open - 2));
}

void TQREvaluator::AddFunction(std::string_view name, std::string_view argumentText) {
  const std::string upperName = CurrentExpressionPlatform().UpperCase(name);
  std::unique_ptr<TQREvElement> element =
      QRFunctionLibrary ? QRFunctionLibrary->CreateElement(upperName)
                        : std::make_unique<TQREvElementError>("Unknown function : " + upperName);
  if (dynamic_cast<TQREvElementError*>(element.get())) {
    if (!argumentText.empty()) return fifo_->Put(std::move(element));
    return AddFieldOrVariable(upperName);
  }
  fifo_->Put(std::move(element));

  // Arguments split at the separator outside quotes and parentheses; one in
  // the last position is not found and stays part of the last argument.
  std::string_view rest = argumentText;
  for (;;) {
    NestingState state;
    std::size_t separatorAt = std::string_view::npos;
    for (std::size_t i = 0; i + 1 < rest.size(); ++i) {
      state.Take(rest[i]);
      if (state.AtTopLevel() && rest[i] == QRArgumentSeparator) {
        separatorAt = i;
        break;
      }
    }
    if (separatorAt == std::string_view::npos) {
      if (!rest.empty()) ParseComparison(rest);
      break;
    }
    ParseComparison(rest.substr(0, separatorAt));
    rest.remove_prefix(separatorAt + 1);
  }
  fifo_->Put(std::make_unique<TQREvElementArgumentEnd>());
}

bool TQREvaluator::FindField(std::string_view name) {
  const ExpressionPlatform& platform = CurrentExpressionPlatform();
  const std::size_t dot = name.find('.');
  const std::string setPart =
      dot == std::string_view::npos ? std::string() : platform.UpperCase(name.substr(0, dot));
  const std::string fieldPart =
      platform.UpperCase(dot == std::string_view::npos ? name : name.substr(dot + 1));

  auto searchSet = [&](DataSet* dataSet) {
    for (int i = 0; i < dataSet->FieldCount(); ++i) {
      DataField* field = dataSet->FieldAt(i);
      if (field && platform.UpperCase(field->FieldName()) == fieldPart) {
        fifo_->Put(std::make_unique<TQREvElementDataField>(dataSet, i, field));
        return true;
      }
    }
    return false;
  };
  for (DataSet* dataSet : *dataSetList_) {
    if (!dataSet) continue;
    if (setPart.empty()) {
      if (searchSet(dataSet)) return true;
    } else if (platform.UpperCase(dataSet->Name()) == setPart) {
      return searchSet(dataSet);
    }
  }
  return false;
}

void TQREvaluator::AddFieldOrVariable(std::string_view name) {
  if (dataSetList_ && FindField(name)) return;
  if (localEnvironment_) {
    std::unique_ptr<TQREvElement> element = localEnvironment_->EntryElement(name);
    if (!dynamic_cast<TQREvElementError*>(element.get())) return fifo_->Put(std::move(element));
  }
  if (QRGlobalEnvironment) return fifo_->Put(QRGlobalEnvironment->EntryElement(name));
  PutError("Unknown function : " + std::string(name));
}

}  // namespace report
