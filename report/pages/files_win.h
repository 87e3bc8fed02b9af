// The Win32 side of the page store: real files for its stream (the "QRP"
// temporary file, shared reading, replacing saves), the local clock, and the
// bytes of enhanced metafiles.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "report/pages/byte_stream.h"
#include "report/pages/date_time.h"
#include "report/pages/page_list.h"
#include "report/pages/stream.h"

namespace report {

// A stream over an open file handle, which it closes.
class Win32FileStream : public ByteStream {
 public:
  Win32FileStream(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~Win32FileStream() override;
  Win32FileStream(const Win32FileStream&) = delete;
  Win32FileStream& operator=(const Win32FileStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  // Makes the written bytes durable before the file is put in place.
  void Flush();

 private:
  HANDLE handle_;
  std::string path_;
};

class Win32QRFiles : public QRFileService {
 public:
  std::unique_ptr<ByteStream> CreateTemporary(std::string& path) override;
  bool Remove(const std::string& path) noexcept override;
  std::unique_ptr<ByteStream> OpenShared(const std::string& path) override;
  void WriteReplacing(const std::string& path, const std::function<void(ByteStream&)>& writeContent) override;
  bool SameFile(const std::string& first, const std::string& second) override;
};

class Win32LocalClock : public LocalClock {
 public:
  double Now() override;
};

struct EnhMetafileDeleter {
  void operator()(HENHMETAFILE metafile) const { DeleteEnhMetaFile(metafile); }
};
using EnhMetafile = std::unique_ptr<std::remove_pointer_t<HENHMETAFILE>, EnhMetafileDeleter>;

// The metafile in its file form, as the page store keeps it.
PageImage MetafileImageOf(HENHMETAFILE metafile);
// A metafile from its file form; raises EQRError when the system refuses it.
EnhMetafile MetafileFromImage(const PageImage& image);

}  // namespace report
