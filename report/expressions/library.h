// The function library: the registered functions that expressions may call,
// looked up by name without regard to letter case, first match wins.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/expressions/elements.h"

namespace report {

// Makes a new element of one function.
using TQREvElementFunctionClass = std::unique_ptr<TQREvElementFunction> (*)();

template <class Function>
std::unique_ptr<TQREvElementFunction> FunctionClassOf() {
  return std::make_unique<Function>();
}

struct TQRLibraryEntry {
  std::string Description;   // call syntax, "|", one-line description
  std::string ArgumentSpec;  // category digit, then B/N/S/V per argument
  TQREvElementFunctionClass ElementClass = nullptr;
  std::string Name;
  std::string Vendor;
};

class TQRLibrary {
 public:
  virtual ~TQRLibrary() = default;
  void Add(TQREvElementFunctionClass elementClass, std::string_view name, std::string_view description,
           std::string_view vendor, std::string_view argumentSpec);
  // Null when index is out of range.
  virtual const TQRLibraryEntry* EntryAt(int index) const;
  int Count() const { return static_cast<int>(entries_.size()); }
  // A new element of the named function, or an error element
  // "Unknown function : NAME". The caller owns the result.
  std::unique_ptr<TQREvElement> CreateElement(std::string_view name) const;

 private:
  std::vector<TQRLibraryEntry> entries_;
};

class TQRFunctionLibrary : public TQRLibrary {};

// Adds a function to the global library (after start-up).
void RegisterQRFunction(TQREvElementFunctionClass elementClass, std::string_view name,
                        std::string_view description, std::string_view vendor, std::string_view argumentSpec);

}  // namespace report
