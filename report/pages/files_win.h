// The Win32 side of the page store: real files for its stream (the "QRP"
// temporary file, shared reading, replacing saves), the local clock, and the
// bytes of enhanced metafiles.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/streams/file_stream_win.h"
#include "report/pages/streams.h"
#include "report/pages/page_list.h"
#include "report/pages/stream.h"

namespace report {

using fw::Win32FileStream;

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
