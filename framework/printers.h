// The system's printers: the list, the selected one with its device mode, and
// a print job on it. Printer() is the application's printer; other objects
// that print with settings of their own make a TPrinter of their own.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/exceptions.h"
#include "framework/graphics.h"
#include "framework/graphics_types.h"

namespace fw {

// A printer failure: the message names what failed and the system's error.
class EPrinter : public Exception {
 public:
  using Exception::Exception;
};

class TPrinter {
 public:
  TPrinter();
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // The installed printers by name, read when the printer object is made.
  const std::vector<std::string>& Printers() const { return names_; }
  // Index of the selected printer in Printers(), -1 when there is none.
  int PrinterIndex() const { return index_; }
  // -1 selects the system's default printer. Refused while printing.
  void SetPrinterIndex(int index);

  // The selected printer's device, driver and port, and its device mode: the
  // one set, or else the driver's defaults (fetched once and kept). The
  // handle stays the printer object's; null when the spooler gives none.
  void GetPrinter(std::string& device, std::string& driver, std::string& port, HGLOBAL& deviceMode);
  // Selects a printer by its names with a copy of the given device mode (the
  // caller keeps its handle); a null device mode means the driver's defaults.
  void SetPrinter(const std::string& device, const std::string& driver, const std::string& port,
                  HGLOBAL deviceMode);

  // The printer's device context while printing, an information context otherwise.
  HDC Handle();

  std::string Title;
  void BeginDoc();
  void NewPage();
  void EndDoc();
  void Abort();
  bool Printing() const { return printing_; }
  bool Aborted() const { return aborted_; }
  int PageNumber() const { return pageNumber_; }
  // The open page's canvas; its objects are selected again after each page break.
  TCanvas& Canvas();
  // The printable area in device pixels.
  int PageWidth();
  int PageHeight();

  // Device-mode fields; without a printer reading gives 1 and portrait and
  // setting does nothing.
  int Copies();
  void SetCopies(int copies);
  TPrinterOrientation Orientation();
  void SetOrientation(TPrinterOrientation orientation);

 private:
  struct Entry {
    std::string name;
    std::string port;
  };
  void ReadPrinters();
  void SelectEntry(int index);
  void FreeDeviceMode();
  void FreeContext();
  DEVMODEA* LockMode();
  void UnlockMode();
  void RequirePrinter() const;

  std::vector<std::string> names_;
  std::vector<Entry> entries_;
  int index_ = -1;
  std::string device_, driver_, port_;
  HGLOBAL deviceMode_ = nullptr;
  HDC context_ = nullptr;
  bool contextIsDc_ = false;
  bool printing_ = false;
  bool aborted_ = false;
  int pageNumber_ = 0;
  TCanvas canvas_;
};

// The application's printer.
TPrinter& Printer();

}  // namespace fw
