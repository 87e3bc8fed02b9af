#include "comm/telephony/binding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "comm/base/error_codes.h"
#include "comm/telephony/records.h"
#include "tests/support/le32.h"

namespace comm {
namespace {

using tapi::Handle;
constexpr std::int32_t kFakeResult = 77;

using test_support::Get32;
using test_support::Put32;

// ---- the record fetch ------------------------------------------------------

struct FetchAnswer {
  std::int32_t result;
  std::uint32_t needed;
};

struct FetchRow {
  const char* name;
  std::vector<FetchAnswer> answers;  // one per call
  std::vector<std::uint32_t> expectedSizes;
  std::int32_t expectedResult;
  bool expectBuffer;
};

void PrintTo(const FetchRow& row, std::ostream* out) { *out << row.name; }

class RecordFetch : public testing::TestWithParam<FetchRow> {};

TEST_P(RecordFetch, GrowsTheBufferAsTheLibraryAsks) {
  const FetchRow& row = GetParam();
  std::vector<std::uint32_t> sizes;
  const auto result = FetchTapiRecord(240, [&](std::uint8_t* buffer) {
    const std::uint32_t total = Get32(buffer, 0);
    sizes.push_back(total);
    const FetchAnswer answer = row.answers.at(std::min(sizes.size(), row.answers.size()) - 1);
    Put32(buffer, tapi::record::kNeededSize, answer.needed);
    return answer.result;
  });
  EXPECT_EQ(sizes, row.expectedSizes);
  EXPECT_EQ(result.result, row.expectedResult);
  ASSERT_EQ(result.buffer.has_value(), row.expectBuffer);
  if (result.buffer) {
    EXPECT_EQ(result.buffer->size(), row.expectedSizes.back());
    EXPECT_EQ(Get32(result.buffer->data(), 0), row.expectedSizes.back());
  }
}

constexpr std::int32_t kTooSmall = tapi::kErrStructureTooSmall;
constexpr std::int32_t kFailed = tapi::kErrOperationFailed;

INSTANTIATE_TEST_SUITE_P(
    Rows, RecordFetch,
    testing::Values(
        FetchRow{"FitsAtOnce", {{0, 200}}, {240}, 0, true},
        FetchRow{"NeedsMore", {{0, 500}, {0, 500}}, {240, 500}, 0, true},
        FetchRow{"TooSmallThenFits", {{kTooSmall, 0}, {0, 800}}, {240, 1024}, 0, true},
        FetchRow{"TooSmallThenNeedsMore", {{kTooSmall, 0}, {0, 2000}, {0, 2000}}, {240, 1024, 2000}, 0, true},
        FetchRow{"OtherErrorKeepsTheBuffer", {{kFailed, 0}}, {240}, kFailed, true},
        FetchRow{"TooSmallThenError", {{kTooSmall, 0}, {kFailed, 0}}, {240, 1024}, kFailed, false},
        FetchRow{"GrowingErrorOnResize", {{0, 500}, {kFailed, 0}}, {240, 500}, kFailed, false},
        // A library that keeps asking for more is cut off.
        FetchRow{"NeverSatisfied",
                 {{0, 300}, {0, 400}, {0, 500}, {0, 600}, {0, 700}, {0, 800}},
                 {240, 300, 400, 500},
                 kTooSmall,
                 false},
        FetchRow{"NeededAboveTheCap", {{0, 0x7FFFFFFF}}, {240}, kTooSmall, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the wrappers against a fake library -----------------------------------

struct FakeLibrary {
  int loads = 0;
  bool loadable = true;
  std::string missing;  // the entry the library lacks
};
FakeLibrary fake;

std::int32_t COMM_TAPI_CALL FakeAny() { return kFakeResult; }
std::int32_t COMM_TAPI_CALL FakeDevCaps(Handle, std::uint32_t, std::uint32_t, std::uint32_t, void* buffer) {
  Put32(static_cast<std::uint8_t*>(buffer), tapi::record::kNeededSize, 100);
  return 0;
}

void* FakeLoad(const char* name) {
  ++fake.loads;
  return fake.loadable && std::string(name) == "TAPI32" ? &fake : nullptr;
}
void* FakeEntry(void*, const char* name) {
  if (fake.missing == name) return nullptr;
  if (std::string(name) == "lineGetDevCaps") return reinterpret_cast<void*>(&FakeDevCaps);
  return reinterpret_cast<void*>(&FakeAny);
}
void FakeUnload(void*) {}
const TapiLoader kFakeLoader{&FakeLoad, &FakeEntry, &FakeUnload};

// Each wrapper called with dummy arguments (the fake ignores them).
const std::map<std::string, std::function<std::int32_t()>>& Wrappers() {
  static Handle handle;
  static std::uint32_t value;
  static std::uint8_t buffer[64];
  static const std::map<std::string, std::function<std::int32_t()>> wrappers = {
      {"lineMonitorDigits", [] { return lineMonitorDigits(1, 2); }},
      {"lineInitialize", [] { return lineInitialize(&handle, nullptr, nullptr, "", &value); }},
      {"lineShutdown", [] { return lineShutdown(1); }},
      {"lineNegotiateAPIVersion", [] { return lineNegotiateAPIVersion(1, 0, 1, 1, &value, buffer); }},
      {"lineOpen", [] { return lineOpen(1, 0, &handle, 1, 0, 1, 1, 16, nullptr); }},
      {"lineMakeCall", [] { return lineMakeCall(1, &handle, "1", 0, nullptr); }},
      {"lineAccept", [] { return lineAccept(1, nullptr, 0); }},
      {"lineAnswer", [] { return lineAnswer(1, nullptr, 0); }},
      {"lineDeallocateCall", [] { return lineDeallocateCall(1); }},
      {"lineDrop", [] { return lineDrop(1, nullptr, 0); }},
      {"lineClose", [] { return lineClose(1); }},
      {"lineGetID", [] { return lineGetID(1, 0, 1, 4, buffer, "comm/datamodem"); }},
      {"lineSetStatusMessages", [] { return lineSetStatusMessages(1, 1, 1); }},
  };
  return wrappers;
}

class TapiWrappers : public testing::Test {
 protected:
  void SetUp() override {
    fake = FakeLibrary{};
    SetTapiLoader(&kFakeLoader);
  }
  void TearDown() override { SetTapiLoader(nullptr); }
};

TEST_F(TapiWrappers, WithoutTheLibraryEveryWrapperFailsAndEachCallTriesAgain) {
  fake.loadable = false;
  int calls = 0;
  for (int round = 0; round < 2; ++round) {
    for (const auto& [name, call] : Wrappers()) {
      EXPECT_EQ(call(), codes::kTapiLoadFail) << name;
      ++calls;
    }
  }
  EXPECT_EQ(fake.loads, calls);
  EXPECT_FALSE(LoadTapi());
  EXPECT_EQ(GetDevCapsRecord(1, 0, 1, 0).result, codes::kTapiLoadFail);
}

TEST_F(TapiWrappers, ALoadedLibraryIsLoadedOnceAndPassesResultsThrough) {
  for (const auto& [name, call] : Wrappers()) EXPECT_EQ(call(), kFakeResult) << name;
  EXPECT_EQ(fake.loads, 1);
}

TEST_F(TapiWrappers, OnlyTheWrapperOfAMissingEntryFails) {
  for (const auto& [missing, unused] : Wrappers()) {
    fake = FakeLibrary{};
    fake.missing = missing;
    SetTapiLoader(&kFakeLoader);
    EXPECT_TRUE(LoadTapi());
    for (const auto& [name, call] : Wrappers())
      EXPECT_EQ(call(), name == missing ? codes::kTapiGetAddrFail : kFakeResult)
          << "missing " << missing << ", " << name;
  }
}

TEST_F(TapiWrappers, ALibraryWithoutARecordFunctionGivesACodeNotACrash) {
  fake.missing = "lineGetCallStatus";
  EXPECT_EQ(GetCallStatusRecord(1).result, codes::kTapiGetAddrFail);
  EXPECT_FALSE(GetCallStatusRecord(1).buffer);
  const auto caps = GetDevCapsRecord(1, 0, tapi::kApiVersion, 0);
  EXPECT_EQ(caps.result, 0);
  ASSERT_TRUE(caps.buffer);
  EXPECT_EQ(caps.buffer->size(), 240u);
}

TEST(TapiEntryNames, AreTheThirtyFiveLineFunctionsInLookupOrder) {
  const auto& names = TapiEntryNames();
  ASSERT_EQ(names.size(), 35u);
  EXPECT_STREQ(names.front(), "lineGenerateTone");
  EXPECT_STREQ(names[7], "lineInitialize");
  EXPECT_STREQ(names.back(), "lineGetTranslateCaps");
}

// ---- checked record reads ----------------------------------------------------

struct BytesRow {
  const char* name;
  std::uint32_t total, used, size, offset;
  bool valid;
  std::string text;
};

void PrintTo(const BytesRow& row, std::ostream* out) { *out << row.name; }

class RecordReads : public testing::TestWithParam<BytesRow> {};

TEST_P(RecordReads, OffsetAndSizeMustLieInTheUsedPart) {
  const BytesRow& row = GetParam();
  std::vector<std::uint8_t> record(64, 0);
  Put32(record.data(), 0, row.total);
  Put32(record.data(), 8, row.used);
  Put32(record.data(), 16, row.size);
  Put32(record.data(), 20, row.offset);
  std::memcpy(record.data() + 40, "Modem\0", 6);
  const auto bytes = RecordBytes(record, 16, 20);
  ASSERT_EQ(bytes.has_value(), row.valid);
  if (bytes) {
    EXPECT_EQ(RecordText(*bytes), row.text);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, RecordReads,
                         testing::Values(BytesRow{"Inside", 64, 46, 6, 40, true, "Modem"},
                                         BytesRow{"WithoutFinalZero", 64, 46, 5, 40, true, "Modem"},
                                         BytesRow{"EmptyIsEmpty", 64, 46, 0, 0, true, ""},
                                         BytesRow{"BeyondUsed", 64, 44, 6, 40, false, ""},
                                         BytesRow{"BeyondTotal", 44, 64, 6, 40, false, ""},
                                         BytesRow{"BeyondBuffer", 1000, 1000, 6, 62, false, ""},
                                         BytesRow{"OffsetWrapsAround", 64, 64, 8, 0xFFFFFFFC, false, ""},
                                         BytesRow{"HugeSize", 64, 64, 0xFFFFFFFF, 40, false, ""},
                                         BytesRow{"FieldsOutsideUsed", 64, 12, 6, 40, false, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecordField, IsReadOnlyInsideTheUsedPart) {
  std::vector<std::uint8_t> record(40, 0);
  Put32(record.data(), 0, 40);
  Put32(record.data(), 8, 16);
  Put32(record.data(), 12, 0x100);
  EXPECT_EQ(RecordField(record, 12), 0x100u);
  EXPECT_FALSE(RecordField(record, 16));
  EXPECT_FALSE(RecordField(std::vector<std::uint8_t>(4, 0), 0));
}

}  // namespace
}  // namespace comm
