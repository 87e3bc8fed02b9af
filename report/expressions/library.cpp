#include "report/expressions/library.h"

#include "report/expressions/startup.h"

namespace report {

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

void TQRLibrary::Add(TQREvElementFunctionClass elementClass, std::string_view name,
                     std::string_view description, std::string_view vendor, std::string_view argumentSpec) {
  TQRLibraryEntry entry;
  entry.Description = description;
  entry.ArgumentSpec = argumentSpec;
  entry.ElementClass = elementClass;
  entry.Name = name;
  entry.Vendor = vendor;
  entries_.push_back(std::move(entry));
}

const TQRLibraryEntry* TQRLibrary::EntryAt(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &entries_[static_cast<std::size_t>(index)];
}

std::unique_ptr<TQREvElement> TQRLibrary::CreateElement(std::string_view name) const {
  for (const TQRLibraryEntry& entry : entries_)
    if (entry.ElementClass && SameNameIgnoringCase(entry.Name, name)) return entry.ElementClass();
  return std::make_unique<TQREvElementError>("Unknown function : " + std::string(name));
}

void RegisterQRFunction(TQREvElementFunctionClass elementClass, std::string_view name,
                        std::string_view description, std::string_view vendor,
                        std::string_view argumentSpec) {
  if (QRFunctionLibrary) QRFunctionLibrary->Add(elementClass, name, description, vendor, argumentSpec);
}

}  // namespace report
