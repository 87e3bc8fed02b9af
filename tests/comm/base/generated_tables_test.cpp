#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "comm/base/str0_table.h"
#include "comm/base/string_resource.h"
#include "tests/comm/base/str0_test_support.h"

namespace comm {
namespace {

class GeneratedErrorTable : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes = comm_test::GeneratedTable("cvl_error_strings_english.str0");
    ASSERT_EQ(table.Attach(bytes), Str0Table::AttachResult::kOk);
    module.Add("CVL_ERROR_STRINGS_ENGLISH", bytes);
    reader = std::make_unique<TAdStringResource>(module, "CVL_ERROR_STRINGS_ENGLISH");
  }
  std::vector<std::uint8_t> bytes;
  Str0Table table;
  MemoryResourceModule module;
  std::unique_ptr<TAdStringResource> reader;
};

TEST_F(GeneratedErrorTable, Has725EntriesSortedAndUniqueWithTextsRightAfterTheIndex) {
  ASSERT_EQ(table.Count(), 725u);
  std::uint32_t expectedOffset = 8 + 12 * 725;
  for (std::uint32_t i = 0; i < table.Count(); ++i) {
    const auto entry = table.EntryAt(i);
    if (i > 0) {
      EXPECT_LT(table.EntryAt(i - 1).id, entry.id);
    }
    EXPECT_EQ(entry.offset, expectedOffset) << entry.id;  // back to back, no terminators
    expectedOffset += 2 * entry.length;
  }
  EXPECT_EQ(expectedOffset, bytes.size());
}

TEST_F(GeneratedErrorTable, IdGroupsHoldTheirCounts) {
  struct Group {
    std::uint32_t first, last, count;
  };
  const Group groups[] = {{0, 162, 28},        {1001, 1009, 9},    {2001, 2012, 12},   {3001, 3010, 10},
                          {4001, 4403, 37},    {5001, 5506, 9},    {6001, 6015, 15},   {7001, 7014, 14},
                          {8001, 8092, 39},    {9001, 9007, 7},    {10004, 11004, 51}, {13501, 13670, 68},
                          {13801, 13945, 102}, {15001, 15742, 324}};
  std::map<std::uint32_t, std::uint32_t> counted;
  std::uint32_t total = 0;
  for (std::uint32_t i = 0; i < table.Count(); ++i) {
    const std::uint32_t id = table.EntryAt(i).id;
    bool inGroup = false;
    for (const Group& g : groups) {
      if (id >= g.first && id <= g.last) {
        ++counted[g.first];
        inGroup = true;
      }
    }
    EXPECT_TRUE(inGroup) << "id " << id << " lies outside every group";
    ++total;
  }
  for (const Group& g : groups) EXPECT_EQ(counted[g.first], g.count) << "group from " << g.first;
  EXPECT_EQ(total, 725u);
  // Group ends are real entries.
  for (const Group& g : groups) {
    EXPECT_TRUE(table.Find(g.first)) << g.first;
    EXPECT_TRUE(table.Find(g.last)) << g.last;
  }
}

TEST_F(GeneratedErrorTable, SevenAndEightySevenAreAbsentSoTheSystemTextServes) {
  EXPECT_EQ(reader->LookupText(0), "OK");
  EXPECT_EQ(reader->LookupText(7), "");
  EXPECT_EQ(reader->LookupText(87), "");
}

TEST_F(GeneratedErrorTable, QuotedTextsAreExact) {
  const std::map<std::uint32_t, std::string> quoted = {
      {0, "OK"},
      {2, "File not found"},
      {5, "File access denied"},
      {8, "Insufficient memory"},
      {101, "Disk is full"},
      {162, "General failure"},
      {1001, "Bad handle passed to com function"},
      {1002, "Bad argument passed to function"},
      {1003, "Got quit message"},
      {1004, "Terminal buffer greater than 65521"},
      {1005, "ComPort component not assigned"},
      {1006, "Internal error creating window class"},
      {1007, "Modem component not assigned"},
      {1008, "Phonebook component not assigned"},
      {1009, "Component not compatible with WinSock"},
      {2001, "ie_BadId - Specified comport doesn't exist"},
      {2002, "ie_Baudrate - unsupported baud rate"},
      {2003, "ie_Bytesize - invalid byte size"},
      {2004, "ie_Default - error in default parameters"},
      {2005, "ie_Hardware - Specified comport in use"},
      {2006, "ie_Memory - unable to allocate queues"},
      {2007, "ie_NOpen - device not open"},
      {2008, "ie_Open - device already open"},
      {2009, "No more handles, can't open port"},
      {2010, "No timers available"},
      {2011, "The ComNumber property of the TApdComPort has not been set"},
      {2012, "Comport was not opened by Tapi"},
      {3001, "No device layer specified"},
      {3002, "Function not supported by driver"},
      {3003, "EnableCommNotification failed"},
      {3004, "Failed to put entire block"},
      {3005, "Failed to get entire block"},
      {3006, "Output buffer too small for block"},
      {3007, "Buffer is empty"},
      {3008, "Tracing not enabled"},
      {3009, "Logging not enabled"},
      {3010, "Base address not set"},
      {5001, "No more trigger slots"},
      {5002, "Data trigger too long"},
      {5003, "Bad trigger handle"},
      {7001, "Key string too long"},
      {7002, "Data string too long"},
      {7003, "No fields defined in database"},
      {7004, "Generic INI file write error"},
      {7005, "Generic INI file read error"},
      {7006, "No index defined for database"},
      {7008, "Record not found in database"},
      {7011, "No records in database"},
      {7012, "iPrepareIniDatabase not called"},
      {13501, "Line is idle"},
      {13509, "Connected!"},
      {13515, "Call disconnected (%s)"},
      {13931, "Failed to find/load TAPI.DLL"},
      {13932, "Failed to get TAPI address"},
      {13937, "Caller ID Blocked"},
      {13938, "Out of Area Call"},
      // dispatch-log words: kinds at 15001 + kind, subkinds at 15100 + subkind
      {15001, "No event"},
      {15002, "Dispatch"},
      {15003, "Trigger"},
      {15004, "Error"},
      {15005, "Thread"},
      {15006, "TrigAllc"},
      {15007, "TrigDisp"},
      {15008, "TrgHdAlc"},
      {15009, "TrgHdDsp"},
      {15010, "TrDatChg"},
      {15101, "ReadCom"},
      {15102, "WriteCom"},
      {15105, "Avail"},
      {15106, "Timer"},
      {15108, "Status"},
      {15114, "Timer"},
      {15115, "Status"},
      {15116, "Avail"},
      {15117, "Window"},
      {15501, "Time      Type      SubType       Data      OtherData"},
      {15502, "--------  --------  ------------  --------  ---------"},
  };
  for (const auto& [id, text] : quoted) EXPECT_EQ(reader->LookupText(id), text) << "id " << id;
}

// The table holds exactly the text list it was generated from, and the binary
// search finds every entry of it.
TEST_F(GeneratedErrorTable, EveryListedTextIsFoundByItsId) {
  std::ifstream list(COMM_SOURCE_DIR "/cvl_error_strings_english.txt");
  ASSERT_TRUE(list) << "text list not found";
  std::string line;
  int entries = 0;
  while (std::getline(list, line)) {
    if (line.empty() || line[0] == '#') continue;
    const auto tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    const auto id = static_cast<std::uint32_t>(std::stoul(line.substr(0, tab)));
    EXPECT_EQ(reader->LookupText(id), line.substr(tab + 1)) << "id " << id;
    ++entries;
  }
  EXPECT_EQ(entries, 725);
}

TEST(GeneratedReaderMessages, HoldTheFiveReaderMessages) {
  MemoryResourceModule module;
  module.Add("ADSRMGR_STRINGS", comm_test::GeneratedTable("adsrmgr_strings.str0"));
  TAdStringResource reader(module, "ADSRMGR_STRINGS");
  EXPECT_EQ(reader.LookupText(1), "String not found: %d");
  EXPECT_EQ(reader.LookupText(2), "Cannot lock resource");
  EXPECT_EQ(reader.LookupText(3), "String resource not found: %s");
  EXPECT_EQ(reader.LookupText(4), "Unable to open string resource: %s");
  EXPECT_EQ(reader.LookupText(5), "Invalid CVString resource");
  Str0Table table;
  ASSERT_EQ(table.Attach(comm_test::GeneratedTable("adsrmgr_strings.str0")), Str0Table::AttachResult::kOk);
  EXPECT_EQ(table.Count(), 5u);
}

// The reader's messages come from the messages table when it is open; without
// it the built-in texts still tell what failed.
TEST(ReaderMessages, ComeFromTheTableWhenOpenAndFromBuiltInTextsOtherwise) {
  // A messages table with a different wording shows which source answered.
  const std::vector<std::uint8_t> custom = {'S', 'T', 'R', '0', 1, 0, 0, 0, 3,   0, 0,   0,
                                            20,  0,   0,   0,   2, 0, 0, 0, 'N', 0, 'F', 0};
  MemoryResourceModule withTable;
  withTable.Add("ADSRMGR_STRINGS", custom);
  StartReaderMessages(withTable);
  EXPECT_EQ(ReaderMessageText(ReaderMessage::kResourceNotFound), "NF");
  EXPECT_EQ(ReaderMessageText(ReaderMessage::kCannotLock), "Cannot lock resource");  // id absent there
  FinishReaderMessages();

  MemoryResourceModule withoutTable;
  StartReaderMessages(withoutTable);  // no error: the fallbacks serve
  EXPECT_EQ(ReaderMessageText(ReaderMessage::kResourceNotFound), "String resource not found: %s");
  try {
    TAdStringResource reader(withoutTable, "ANYTHING");
    FAIL();
  } catch (const ECvsStringResourceError& e) {
    EXPECT_EQ(e.Message(), "String resource not found: ANYTHING");
  }
  FinishReaderMessages();
}

}  // namespace
}  // namespace comm
