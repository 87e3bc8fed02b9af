#include "comm/terminal/capture_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "comm/terminal/buffer_errors.h"

namespace comm {
namespace {

constexpr int kOutOfMemory = -8;

// The negative failure code for a system error number.
int FailureFrom(int io) { return io > 0 ? -io : io; }

}  // namespace

CaptureBuffer::~CaptureBuffer() { Control(false, false, {}); }

int CaptureBuffer::Control(bool open, bool append, std::string_view name) {
  if (open) {
    if (on_) Close();  // a failed close keeps its bytes for the open below
    return Open(append, name);
  }
  return on_ ? Close() : bufferOk;
}

void CaptureBuffer::Put(std::uint8_t ch) {
  if (!on_) return;
  if (count_ >= captureBlockSize && Flush() != bufferOk) return;
  block_[count_++] = ch;
  if (count_ == captureBlockSize) Flush();
}

int CaptureBuffer::Open(bool append, std::string_view name) {
  if (name.empty()) name = defaultCaptureName;
  name_.assign(name.substr(0, captureNameLimit));
  if (!writer_) return codes::kBadArgument;
  if (!block_) {
    block_.reset(new (std::nothrow) std::uint8_t[captureBlockSize]);
    if (!block_) return kOutOfMemory;
  }
  const int io = writer_->Open(name_, append);
  if (io != 0) {
    ReleaseIfEmpty();
    return FailureFrom(io);
  }
  on_ = true;
  // Bytes a failed write left behind go to disk before anything new.
  return count_ > 0 ? Flush() : bufferOk;
}

int CaptureBuffer::Close() {
  const int flushed = Flush();
  if (!on_) return flushed;  // the failed flush has closed the file already
  on_ = false;
  const int io = writer_->Close();
  ReleaseIfEmpty();
  return FailureFrom(io);
}

int CaptureBuffer::Flush() {
  if (count_ == 0) return bufferOk;
  std::size_t written = 0;
  const int io = writer_->Write(block_.get(), count_, written);
  written = std::min(written, count_);
  if (written > 0) {
    std::memmove(block_.get(), block_.get() + written, count_ - written);
    count_ -= written;
  }
  if (count_ > 0) return Fail(captureShortWrite);
  if (io != 0) return Fail(FailureFrom(io));
  return bufferOk;
}

int CaptureBuffer::Fail(int failure) {
  writer_->Close();
  on_ = false;
  if (view_) view_->SendCaptureError(static_cast<std::uint16_t>(-failure), 0);
  return failure;
}

void CaptureBuffer::ReleaseIfEmpty() {
  if (count_ == 0) block_.reset();
}

std::vector<std::uint8_t> CaptureBuffer::TakeHeld() {
  std::vector<std::uint8_t> bytes;
  if (count_ > 0) bytes.assign(block_.get(), block_.get() + count_);
  count_ = 0;
  if (!on_) block_.reset();
  return bytes;
}

void CaptureBuffer::GiveHeld(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) return;
  if (!block_) block_.reset(new (std::nothrow) std::uint8_t[captureBlockSize]);
  if (!block_) return;
  const std::size_t room = captureBlockSize - count_;
  const std::size_t n = std::min(room, bytes.size());
  std::memcpy(block_.get() + count_, bytes.data(), n);
  count_ += n;
}

}  // namespace comm
