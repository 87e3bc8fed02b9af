#include "comm/telephony/call_log.h"

#include "comm/base/component_insertion.h"

namespace comm {

std::string TapiLogLine(std::string_view timestamp, int code, std::string_view numberToDial) {
  std::string text;
  switch (code) {
    case 1:
      text = "call started";
      break;
    case 2:
      text = "call finished\r\n";
      break;  // an empty line ends each call
    case 3:
      text = "  dialing " + std::string(numberToDial);
      break;
    case 4:
      text = "  accepting";
      break;
    case 5:
      text = "  answering";
      break;
    case 6:
      text = "  connected";
      break;
    case 7:
      text = "  cancelled";
      break;
    case 8:
      text = "  dropped";
      break;
    case 9:
      text = "  busy";
      break;
    case 10:
      text = "  dial failed";
      break;
    case 11:
      text = "  received digit";
      break;
    default:
      return {};
  }
  return std::string(timestamp) + " : " + text + "\r\n";
}

TApdTapiLog::TApdTapiLog(fw::TComponent* owner, std::function<std::string()> timestamp,
                         HistoryFileAppender& file)
    : TApdBaseComponent(owner), timestamp_(std::move(timestamp)), file_(file) {
  AnnounceInserted(*this);
}

TApdTapiLog::~TApdTapiLog() {
  if (TapiDevice) TapiDevice->ForgetLog(this);
}

void TApdTapiLog::UpdateLog(TTapiLogCode log) {
  if (TapiHistoryName.empty()) return;
  const std::string line = TapiLogLine(timestamp_(), static_cast<int>(log),
                                       TapiDevice ? TapiDevice->NumberToDial() : std::string());
  if (line.empty()) return;
  file_.Append(TapiHistoryName, line);
}

}  // namespace comm
