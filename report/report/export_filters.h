// The registry of export filters a preview's save dialog offers beside the
// report page file. It exists while the report engine runs; this program
// registers no filter, so only the page file is offered.
#pragma once

#include <string>
#include <vector>

namespace report {

struct TQRExportFilterEntry {
  std::string Description;
  std::string Extension;
};

class TQRExportFilterLibrary {
 public:
  const std::vector<TQRExportFilterEntry>& Filters() const { return filters_; }
  void Add(TQRExportFilterEntry entry) { filters_.push_back(std::move(entry)); }

 private:
  std::vector<TQRExportFilterEntry> filters_;
};

// Created empty when the report engine starts, freed when it stops.
extern TQRExportFilterLibrary* QRExportFilterLibrary;

}  // namespace report
