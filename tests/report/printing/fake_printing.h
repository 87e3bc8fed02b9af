// Stand-ins for what a page producer needs from the system: a printer that
// logs its job calls, a page recorder that makes small metafile images with
// the frame of the page size, and a message queue that keeps what was posted.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "report/pages/streams.h"
#include "report/printing/qr_printer.h"
#include "tests/report/printing/fake_printer_device.h"
#include "tests/report/pages/memory_files.h"
#include "tests/report/pages/page_images.h"
#include "tests/report/printing/recording_canvas.h"

namespace report::testing {

class FakePlatformPrinter : public QRPlatformPrinter, public FakePrinterDevice {
 public:
  explicit FakePlatformPrinter(std::vector<std::string>& log) : log_(log) {}
  std::int32_t Index = -1;
  bool IsPrinting = false;
  std::int32_t Width = 2550, Height = 3300;
  RecordingCanvas Surface;

  std::int32_t PrinterIndex() override { return Index; }
  void SetPrinterIndex(std::int32_t index) override {
    Index = index;
    log_.push_back("Index " + std::to_string(index));
  }
  void ResetDeviceMode() override { log_.push_back("ResetDeviceMode"); }
  void SetTitle(const std::string& title) override { log_.push_back("Title " + title); }
  void BeginDoc() override {
    IsPrinting = true;
    log_.push_back("BeginDoc");
  }
  void NewPage() override { log_.push_back("NewPage"); }
  void EndDoc() override {
    IsPrinting = false;
    log_.push_back("EndDoc");
  }
  void Abort() override {
    IsPrinting = false;
    log_.push_back("Abort");
  }
  bool Printing() override { return IsPrinting; }
  QRPageCanvas& Canvas() override { return Surface; }
  // Measures as the surface does; what is drawn on it goes nowhere.
  QRPageCanvas& MeasuringCanvas() override {
    Unprinted.CharWidth = Surface.CharWidth;
    Unprinted.LineHeight = Surface.LineHeight;
    return Unprinted;
  }
  RecordingCanvas Unprinted;
  std::int32_t PageWidth() override { return Width; }
  std::int32_t PageHeight() override { return Height; }
  void DrawPage(const PageImage& page, const QRRect& rect) override {
    // The filler's first coordinate tells the pages apart.
    log_.push_back("DrawPage " + std::to_string(LoadInt32(&page[116])) + " " + std::to_string(rect.Right) +
                   "x" + std::to_string(rect.Bottom));
  }

 private:
  std::vector<std::string>& log_;
};

class FakePrinterFactory : public QRPrinterFactory {
 public:
  std::int32_t Count = 1;
  std::int32_t GlobalIndex = 0;
  std::vector<std::string> Log;
  // Set up each new printer (its device mode, papers, resolution).
  std::function<void(FakePlatformPrinter&)> Prepare;
  FakePlatformPrinter* Last = nullptr;

  std::int32_t GlobalPrinterCount() override { return Count; }
  std::int32_t GlobalPrinterIndex() override { return GlobalIndex; }
  std::unique_ptr<QRPlatformPrinter> CreatePrinter() override {
    auto printer = std::make_unique<FakePlatformPrinter>(Log);
    printer->Count = Count;
    if (Prepare) Prepare(*printer);
    Last = printer.get();
    return printer;
  }
};

class FakePageRecorder : public QRPageRecorder {
 public:
  std::int32_t Dpi = 96;
  int Started = 0;
  int Open = 0;
  std::vector<std::pair<std::int32_t, std::int32_t>> Sizes;

  class Page : public QRRecordingPage {
   public:
    Page(FakePageRecorder& owner, std::int32_t width, std::int32_t height, int number)
        : owner_(owner), width_(width), height_(height), number_(number) {
      ++owner_.Open;
    }
    ~Page() override { --owner_.Open; }
    QRPageCanvas& Canvas() override { return canvas; }
    PageImage Finish() override {
      PageImage image = MetafileImage(1, 0);
      StoreInt32(&image[24], 0);
      StoreInt32(&image[28], 0);
      StoreInt32(&image[32], static_cast<std::int32_t>(static_cast<long long>(width_) * 2540 / owner_.Dpi));
      StoreInt32(&image[36], static_cast<std::int32_t>(static_cast<long long>(height_) * 2540 / owner_.Dpi));
      StoreInt32(&image[116], number_);
      return image;
    }
    RecordingCanvas canvas;

   private:
    FakePageRecorder& owner_;
    std::int32_t width_, height_;
    int number_;
  };

  std::int32_t ScreenPixelsPerInch() override { return Dpi; }
  std::unique_ptr<QRRecordingPage> StartPage(std::int32_t width, std::int32_t height) override {
    Sizes.emplace_back(width, height);
    return std::make_unique<Page>(*this, width, height, ++Started);
  }
  // Measures as the pages do; what is drawn on it goes nowhere.
  QRPageCanvas& MeasuringCanvas() override { return Measuring; }
  RecordingCanvas Measuring;
};

struct PostedMessage {
  QRWindow window;
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  bool sent;
  friend bool operator==(const PostedMessage&, const PostedMessage&) = default;
};

class FakeMessageQueue : public QRMessageQueue {
 public:
  std::vector<PostedMessage> Messages;
  int Pumps = 0;
  void Post(QRWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    Messages.push_back({window, message, wParam, lParam, false});
  }
  void Send(QRWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    Messages.push_back({window, message, wParam, lParam, true});
  }
  void ProcessMessages() override { ++Pumps; }
  std::vector<std::uintptr_t> PageMessages() const {
    std::vector<std::uintptr_t> counts;
    for (const auto& m : Messages)
      if (m.message == QRM_PAGEAVAILABLE) counts.push_back(m.wParam);
    return counts;
  }
};

// Everything a producer needs, faked.
struct FakePrinting {
  FakePrinterFactory printers;
  FakePageRecorder pages;
  FakeMessageQueue messages;
  MemoryFiles files;
  FixedClock clock;
  QRPrinterServices Services() { return {printers, pages, messages, files, clock}; }
};

}  // namespace report::testing
