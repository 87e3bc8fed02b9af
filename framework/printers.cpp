#include "framework/printers.h"

#include <winspool.h>
// The spooler header names its own functions like the printer object's methods.
#undef GetPrinter
#undef SetPrinter

#include <cstring>

namespace fw {

namespace {

std::string SystemErrorText(const std::string& what) {
  return what + " (error " + std::to_string(GetLastError()) + ").";
}

// The printers' driver for every queue of the spooler.
constexpr const char* kSpoolerDriver = "winspool";

}  // namespace

TPrinter::TPrinter() {
  ReadPrinters();
  SelectEntry(-1);
}

TPrinter::~TPrinter() {
  if (printing_) {
    AbortDoc(context_);
    printing_ = false;
  }
  FreeContext();
  FreeDeviceMode();
}

void TPrinter::ReadPrinters() {
  names_.clear();
  entries_.clear();
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0, count = 0;
  EnumPrintersA(flags, nullptr, 2, nullptr, 0, &needed, &count);
  if (needed == 0) return;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersA(flags, nullptr, 2, buffer.data(), needed, &needed, &count)) return;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (!info[i].pPrinterName) continue;
    entries_.push_back({info[i].pPrinterName, info[i].pPortName ? info[i].pPortName : ""});
    names_.push_back(info[i].pPrinterName);
  }
}

void TPrinter::SelectEntry(int index) {
  if (index < 0) {
    index = entries_.empty() ? -1 : 0;
    char name[1024];
    DWORD size = sizeof name;
    if (GetDefaultPrinterA(name, &size)) {
      for (std::size_t i = 0; i < entries_.size(); ++i)
        if (_stricmp(entries_[i].name.c_str(), name) == 0) index = static_cast<int>(i);
    }
  }
  FreeContext();
  FreeDeviceMode();
  index_ = index;
  if (index < 0) {
    device_.clear();
    driver_.clear();
    port_.clear();
    return;
  }
  device_ = entries_[static_cast<std::size_t>(index)].name;
  driver_ = kSpoolerDriver;
  port_ = entries_[static_cast<std::size_t>(index)].port;
}

void TPrinter::SetPrinterIndex(int index) {
  if (printing_) throw EPrinter("The printer cannot be changed while it prints.");
  if (index >= static_cast<int>(entries_.size()))
    throw EPrinter("There is no printer number " + std::to_string(index) + ".");
  SelectEntry(index);
}

void TPrinter::FreeDeviceMode() {
  if (deviceMode_) GlobalFree(deviceMode_);
  deviceMode_ = nullptr;
}

void TPrinter::FreeContext() {
  if (printing_) return;
  canvas_.Release();
  if (context_) DeleteDC(context_);
  context_ = nullptr;
}

void TPrinter::GetPrinter(std::string& device, std::string& driver, std::string& port, HGLOBAL& deviceMode) {
  if (!deviceMode_ && index_ >= 0) {
    // The driver's own defaults, fetched once: a device mode for the first
    // GetPrinter of a printer nobody has set one for.
    HANDLE handle = nullptr;
    if (OpenPrinterA(const_cast<char*>(device_.c_str()), &handle, nullptr)) {
      const LONG size =
          DocumentPropertiesA(nullptr, handle, const_cast<char*>(device_.c_str()), nullptr, nullptr, 0);
      if (size > 0) {
        HGLOBAL block = GlobalAlloc(GHND, static_cast<SIZE_T>(size));
        auto* mode = block ? static_cast<DEVMODEA*>(GlobalLock(block)) : nullptr;
        const bool filled = mode && DocumentPropertiesA(nullptr, handle, const_cast<char*>(device_.c_str()),
                                                        mode, nullptr, DM_OUT_BUFFER) == IDOK;
        if (mode) GlobalUnlock(block);
        if (filled) {
          deviceMode_ = block;
        } else if (block) {
          GlobalFree(block);
        }
      }
      ClosePrinter(handle);
    }
  }
  device = device_;
  driver = driver_;
  port = port_;
  deviceMode = deviceMode_;
}

void TPrinter::SetPrinter(const std::string& device, const std::string& driver, const std::string& port,
                          HGLOBAL deviceMode) {
  if (printing_) throw EPrinter("The printer cannot be changed while it prints.");
  FreeContext();
  if (deviceMode != deviceMode_) {
    HGLOBAL copy = nullptr;
    if (deviceMode) {
      const SIZE_T size = GlobalSize(deviceMode);
      copy = GlobalAlloc(GHND, size);
      void* from = GlobalLock(deviceMode);
      void* to = copy ? GlobalLock(copy) : nullptr;
      if (from && to) std::memcpy(to, from, size);
      if (to) GlobalUnlock(copy);
      if (from) GlobalUnlock(deviceMode);
      if (!from || !to) {
        if (copy) GlobalFree(copy);
        throw EPrinter(SystemErrorText("The printer's settings cannot be copied"));
      }
    }
    FreeDeviceMode();
    deviceMode_ = copy;
  }
  device_ = device;
  driver_ = driver.empty() ? kSpoolerDriver : driver;
  port_ = port;
  index_ = -1;
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (_stricmp(entries_[i].name.c_str(), device.c_str()) == 0) index_ = static_cast<int>(i);
  if (index_ < 0) {
    // A printer that came after the list was read.
    entries_.push_back({device, port});
    names_.push_back(device);
    index_ = static_cast<int>(entries_.size()) - 1;
  }
}

void TPrinter::RequirePrinter() const {
  if (index_ < 0) throw EPrinter("There is no printer installed.");
}

DEVMODEA* TPrinter::LockMode() {
  std::string device, driver, port;
  HGLOBAL mode = nullptr;
  GetPrinter(device, driver, port, mode);
  return mode ? static_cast<DEVMODEA*>(GlobalLock(mode)) : nullptr;
}

void TPrinter::UnlockMode() {
  if (deviceMode_) GlobalUnlock(deviceMode_);
}

HDC TPrinter::Handle() {
  RequirePrinter();
  if (!context_) {
    DEVMODEA* mode = LockMode();
    context_ = CreateICA(nullptr, device_.c_str(), nullptr, mode);
    UnlockMode();
    contextIsDc_ = false;
    if (!context_) throw EPrinter(SystemErrorText("The printer \"" + device_ + "\" cannot be reached"));
  }
  return context_;
}

void TPrinter::BeginDoc() {
  if (printing_) throw EPrinter("The printer is printing already.");
  RequirePrinter();
  FreeContext();
  DEVMODEA* mode = LockMode();
  context_ = CreateDCA(nullptr, device_.c_str(), nullptr, mode);
  UnlockMode();
  contextIsDc_ = true;
  if (!context_) throw EPrinter(SystemErrorText("The printer \"" + device_ + "\" cannot be opened"));
  DOCINFOA doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = Title.c_str();
  if (StartDocA(context_, &doc) <= 0) {
    const std::string message = SystemErrorText("The print job \"" + Title + "\" cannot be started");
    DeleteDC(context_);
    context_ = nullptr;
    throw EPrinter(message);
  }
  printing_ = true;
  aborted_ = false;
  pageNumber_ = 1;
  if (StartPage(context_) <= 0) {
    Abort();
    throw EPrinter(SystemErrorText("The printer cannot start a page"));
  }
  canvas_.SetHandle(context_);
}

void TPrinter::NewPage() {
  if (!printing_) throw EPrinter("The printer is not printing.");
  canvas_.Release();
  if (EndPage(context_) <= 0 || StartPage(context_) <= 0) {
    Abort();
    throw EPrinter(SystemErrorText("The printer cannot start a new page"));
  }
  ++pageNumber_;
  canvas_.SetHandle(context_);
}

void TPrinter::EndDoc() {
  if (!printing_) throw EPrinter("The printer is not printing.");
  canvas_.Release();
  const bool ended = EndPage(context_) > 0 && ::EndDoc(context_) > 0;
  printing_ = false;
  if (!ended) AbortDoc(context_);
  FreeContext();
  pageNumber_ = 0;
  if (!ended) throw EPrinter(SystemErrorText("The print job \"" + Title + "\" cannot be finished"));
}

void TPrinter::Abort() {
  if (!printing_) return;
  canvas_.Release();
  AbortDoc(context_);
  printing_ = false;
  aborted_ = true;
  FreeContext();
  pageNumber_ = 0;
}

TCanvas& TPrinter::Canvas() {
  Handle();
  if (!canvas_.Handle()) canvas_.SetHandle(context_);
  return canvas_;
}

int TPrinter::PageWidth() { return GetDeviceCaps(Handle(), HORZRES); }
int TPrinter::PageHeight() { return GetDeviceCaps(Handle(), VERTRES); }

int TPrinter::Copies() {
  if (index_ < 0) return 1;
  DEVMODEA* mode = LockMode();
  const int copies = mode ? mode->dmCopies : 1;
  UnlockMode();
  return copies;
}

void TPrinter::SetCopies(int copies) {
  if (index_ < 0 || printing_) return;
  DEVMODEA* mode = LockMode();
  if (mode) {
    mode->dmCopies = static_cast<short>(copies);
    mode->dmFields |= DM_COPIES;
  }
  UnlockMode();
  FreeContext();
}

TPrinterOrientation TPrinter::Orientation() {
  if (index_ < 0) return TPrinterOrientation::poPortrait;
  DEVMODEA* mode = LockMode();
  const bool landscape = mode && mode->dmOrientation == DMORIENT_LANDSCAPE;
  UnlockMode();
  return landscape ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation orientation) {
  if (index_ < 0 || printing_) return;
  DEVMODEA* mode = LockMode();
  if (mode) {
    mode->dmOrientation =
        orientation == TPrinterOrientation::poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    mode->dmFields |= DM_ORIENTATION;
  }
  UnlockMode();
  FreeContext();
}

TPrinter& Printer() {
  static TPrinter printer;
  return printer;
}

}  // namespace fw
