#include "capture/journal_view_win.h"

#include <algorithm>
#include <cstdlib>

#include "comm/capture_writer_win.h"
#include "comm/screen_buffer.h"
#include "framework/application.h"
#include "framework/exceptions.h"

namespace capture {

namespace {
constexpr int kRows = 200, kColumns = 133, kPageHeight = 150;
}  // namespace

int WriteNoticingWriter::Write(const std::uint8_t* bytes, std::size_t count, std::size_t& written) {
  const int result = inner_.Write(bytes, count, written);
  if (written > 0) written_ = true;
  return result;
}

int WriteNoticingWriter::Close() { return inner_.Close(); }

bool WriteNoticingWriter::TakeWritten() {
  const bool was = written_;
  written_ = false;
  return was;
}

// The buffer's window: repaints, and a failed capture write ends capture.
class JournalView::View : public comm::ViewSink {
 public:
  explicit View(JournalView& owner) : owner_(owner) {}
  void Invalidate(const comm::PixelRect&) override { InvalidateAll(); }
  void InvalidateAll() override {
    if (owner_.HandleAllocated()) InvalidateRect(owner_.Handle(), nullptr, FALSE);
  }
  void Scroll(int, int, const comm::PixelRect*) override { InvalidateAll(); }
  void UpdateNow() override {}
  void SetScrollPosition(bool, int) override {}
  void SetScrollRange(bool, int, int) override {}
  void SetCaretPosition(int, int) override {}
  void PostStatus(std::uint32_t, std::uint32_t) override {}
  // The buffer keeps what it could not write; the next reopen writes it first.
  void SendCaptureError(std::uint16_t, std::int32_t) override { owner_.mode_ = CaptureMode::Off; }
  void SendCursorReport(std::uint32_t, std::int32_t) override {}

 private:
  JournalView& owner_;
};

JournalView::JournalView(fw::TComponent* owner)
    : fw::TWinControl(owner),
      fileWriter_(std::make_unique<comm::Win32CaptureWriter>()),
      writer_(*fileWriter_),
      view_(std::make_unique<View>(*this)),
      buffer_(std::make_unique<TBuffer>(view_.get(), kRows, kColumns, &writer_)) {
  buffer_->SetDimensions(kRows, kColumns, kPageHeight);
  buffer_->SetEmulator(this, &JournalView::ProcessChar);
  SetColor(fw::clBlack);
}

JournalView::~JournalView() {
  if (port_) port_->SetOnTriggerAvail(nullptr);
  buffer_.reset();
}

void JournalView::SetComPort(comm::TApdComPort* port) {
  if (port_) port_->SetOnTriggerAvail(nullptr);
  port_ = port;
  if (port_) port_->SetOnTriggerAvail([this](comm::TApdComPort&, std::uint32_t) { TakeReceived(); });
}

void JournalView::SetActive(bool active) {
  active_ = active;
  if (active_ && port_ && port_->Open()) TakeReceived();
}

void JournalView::SetProcessChar(std::function<void(std::uint8_t, TEmuCommand&)> handler) {
  processChar_ = std::move(handler);
}

void JournalView::ProcessChar(void* data, std::uint8_t ch, TEmuCommand& command) {
  auto* self = static_cast<JournalView*>(data);
  if (self->processChar_) {
    self->processChar_(ch, command);
  } else {
    command.Code = ecChar;
    command.Char = ch;
  }
}

void JournalView::TakeReceived() {
  if (!active_ || !port_) return;
  comm::TApdBaseDispatcher* dispatcher = port_->Dispatcher();
  if (!dispatcher) return;
  std::uint8_t ch = 0;
  // Looked at after every byte: a block that reaches the disk is told before
  // the next byte, so a full file takes nothing more.
  while (dispatcher->FetchChar(ch) == 0) {
    buffer_->HandleChar(ch);
    NoticeWrites();
  }
  Invalidate();
}

void JournalView::NoticeWrites() {
  if (!writer_.TakeWritten() || !OnCaptureWritten) return;
  // Told at once, outside the buffer's work: a full file must not take
  // another block before it is looked at.
  OnCaptureWritten();
}

void JournalView::SetCapture(CaptureMode mode) {
  if (mode == mode_) return;
  if (mode == CaptureMode::Off) {
    mode_ = mode;
    buffer_->ControlCapture(false, false, "");
    NoticeWrites();
    return;
  }
  // The mode is taken before the open: after a failure the next Off still
  // closes and a later reopen is tried again.
  mode_ = mode;
  const int result = buffer_->ControlCapture(true, mode == CaptureMode::Append, captureFile_);
  if (result != 0) {
    const int error = std::abs(result);
    throw fw::EInOutError(error, "Cannot open the capture file " + captureFile_ + ": " + fw::InOutErrorText(error));
  }
}

void JournalView::SetCaptureFile(const std::string& name) {
  if (name == captureFile_) return;
  captureFile_ = name;
  if (mode_ != CaptureMode::Off) {
    const CaptureMode mode = mode_;
    SetCapture(CaptureMode::Off);
    SetCapture(mode);
  }
}

void JournalView::ClearAll() {
  buffer_->ClearAll();
  Invalidate();
}

void JournalView::ClearPage() {
  buffer_->ClearPage();
  Invalidate();
}

void JournalView::Paint(fw::TCanvas& canvas) {
  RECT area{0, 0, ClientWidth(), ClientHeight()};
  canvas.Brush.Color = fw::clBlack;
  canvas.FillRect(area);
  canvas.Font.Assign(Font());
  canvas.Brush.Color = fw::clBlack;
  const int lineHeight = std::max(canvas.TextHeight("M"), 1);
  const int shown = std::max(ClientHeight() / lineHeight, 1);
  const int last = buffer_->CursorRow();
  const int first = std::max(0, last - shown + 1);
  for (int row = first; row <= last; ++row) {
    std::string text = buffer_->RowText(row);
    text.erase(text.find_last_not_of(' ') + 1);
    if (!text.empty()) canvas.TextOut(2, (row - first) * lineHeight, text);
  }
}

}  // namespace capture
