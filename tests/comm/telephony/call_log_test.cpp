#include "comm/telephony/call_log.h"

#include <gtest/gtest.h>

#include <vector>

namespace comm {
namespace {

constexpr const char* kNow = "12/8/2026 3:04:05 PM";

struct LineRow {
  int code;
  const char* bytes;
};

void PrintTo(const LineRow& row, std::ostream* out) { *out << "code " << row.code; }

class TapiLogLines : public testing::TestWithParam<LineRow> {};

TEST_P(TapiLogLines, AreTheTimestampThenTheEventText) {
  EXPECT_EQ(TapiLogLine(kNow, GetParam().code, "5551234"), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Codes, TapiLogLines,
                         testing::Values(LineRow{1, "12/8/2026 3:04:05 PM : call started\r\n"},
                                         LineRow{2, "12/8/2026 3:04:05 PM : call finished\r\n\r\n"},
                                         LineRow{3, "12/8/2026 3:04:05 PM :   dialing 5551234\r\n"},
                                         LineRow{4, "12/8/2026 3:04:05 PM :   accepting\r\n"},
                                         LineRow{5, "12/8/2026 3:04:05 PM :   answering\r\n"},
                                         LineRow{6, "12/8/2026 3:04:05 PM :   connected\r\n"},
                                         LineRow{7, "12/8/2026 3:04:05 PM :   cancelled\r\n"},
                                         LineRow{8, "12/8/2026 3:04:05 PM :   dropped\r\n"},
                                         LineRow{9, "12/8/2026 3:04:05 PM :   busy\r\n"},
                                         LineRow{10, "12/8/2026 3:04:05 PM :   dial failed\r\n"},
                                         LineRow{11, "12/8/2026 3:04:05 PM :   received digit\r\n"},
                                         LineRow{12, ""}, LineRow{0, ""}),
                         [](const auto& info) { return "Code" + std::to_string(info.param.code); });

struct RecordingFile : HistoryFileAppender {
  std::vector<std::pair<std::string, std::string>> appended;
  void Append(const std::string& path, std::string_view bytes) override {
    appended.emplace_back(path, bytes);
  }
};

struct Device : TapiLogDevice {
  std::string NumberToDial() const override { return "0800 123"; }
  void ForgetLog(TApdTapiLog*) override {}
};

TEST(TApdTapiLog, AppendsEachEventToTheHistoryFileWithTheDevicesNumber) {
  RecordingFile file;
  Device device;
  TApdTapiLog log(nullptr, [] { return std::string(kNow); }, file);
  EXPECT_EQ(log.TapiHistoryName, "CVLTAPI.HIS");
  log.TapiDevice = &device;
  log.UpdateLog(TTapiLogCode::ltapiCallStart);
  log.UpdateLog(TTapiLogCode::ltapiDial);
  log.UpdateLog(static_cast<TTapiLogCode>(12));
  log.UpdateLog(TTapiLogCode::ltapiCallFinish);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"CVLTAPI.HIS", "12/8/2026 3:04:05 PM : call started\r\n"},
      {"CVLTAPI.HIS", "12/8/2026 3:04:05 PM :   dialing 0800 123\r\n"},
      {"CVLTAPI.HIS", "12/8/2026 3:04:05 PM : call finished\r\n\r\n"}};
  EXPECT_EQ(file.appended, expected);
}

TEST(TApdTapiLog, AnEmptyHistoryNameWritesNothing) {
  RecordingFile file;
  TApdTapiLog log(nullptr, [] { return std::string(kNow); }, file);
  log.TapiHistoryName.clear();
  log.UpdateLog(TTapiLogCode::ltapiCallStart);
  EXPECT_TRUE(file.appended.empty());
}

TEST(TApdTapiLog, WithoutADeviceTheNumberIsEmpty) {
  RecordingFile file;
  TApdTapiLog log(nullptr, [] { return std::string(kNow); }, file);
  log.UpdateLog(TTapiLogCode::ltapiDial);
  ASSERT_EQ(file.appended.size(), 1u);
  EXPECT_EQ(file.appended[0].second, "12/8/2026 3:04:05 PM :   dialing \r\n");
}

}  // namespace
}  // namespace comm
