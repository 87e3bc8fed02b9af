#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "comm/base/str0_table.h"
#include "comm/base/string_resource.h"

namespace comm {
namespace {

// Two entries, id 1 "OK" and id 5 "X", written out byte by byte: the texts
// start right after the index (8 + 12 * 2 = 0x20), lengths count UTF-16
// units, and nothing terminates a text.
const std::vector<std::uint8_t> kTwoEntries = {
    'S',  'T', 'R', '0', 0x02, 0, 0, 0,  // magic, count
    0x01, 0,   0,   0,   0x20, 0, 0, 0,  // id 1 at 0x20
    0x02, 0,   0,   0,                   //   2 units
    0x05, 0,   0,   0,   0x24, 0, 0, 0,  // id 5 at 0x24
    0x01, 0,   0,   0,                   //   1 unit
    'O',  0,   'K', 0,   'X',  0,        // texts
};

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
}

class TwoEntryReader : public ::testing::Test {
 protected:
  void SetUp() override { module.Add("TEST_STRINGS", kTwoEntries); }
  MemoryResourceModule module;
};

TEST_F(TwoEntryReader, FindsFirstAndLastAndNothingOutside) {
  TAdStringResource reader(module, "test_strings");  // resource names ignore case
  EXPECT_EQ(reader.LookupText(1), "OK");
  EXPECT_EQ(reader.LookupText(5), "X");
  for (std::uint32_t absent : {0u, 3u, 6u, 0xFFFFFFFFu}) EXPECT_EQ(reader.LookupText(absent), "") << absent;
}

TEST_F(TwoEntryReader, ReportMissingRaisesWithTheId) {
  TAdStringResource reader(module, "TEST_STRINGS");
  reader.ReportMissing = true;
  EXPECT_EQ(reader.LookupText(5), "X");
  try {
    reader.LookupText(3);
    FAIL() << "no exception";
  } catch (const ECvsStringResourceError& e) {
    EXPECT_EQ(e.Message(), "String not found: 3");
  }
}

TEST_F(TwoEntryReader, MissingResourceNameIsReportedWithTheName) {
  try {
    TAdStringResource reader(module, "NO_SUCH_TABLE");
    FAIL() << "no exception";
  } catch (const ECvsStringResourceError& e) {
    EXPECT_EQ(e.Message(), "String resource not found: NO_SUCH_TABLE");
  }
}

TEST_F(TwoEntryReader, EmptyNameGivesAClosedReaderAndFailedOpenLeavesItClosed) {
  TAdStringResource reader(module, "");
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.LookupText(1), "");
  reader.Open(module, "TEST_STRINGS");
  EXPECT_TRUE(reader.IsOpen());
  EXPECT_THROW(reader.Open(module, "NO_SUCH_TABLE"), ECvsStringResourceError);
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.LookupText(1), "");
}

TEST(Str0Table, PinnedLayoutReadsBackEntryByEntry) {
  Str0Table table;
  ASSERT_EQ(table.Attach(kTwoEntries), Str0Table::AttachResult::kOk);
  ASSERT_EQ(table.Count(), 2u);
  EXPECT_EQ(table.EntryAt(0).id, 1u);
  EXPECT_EQ(table.EntryAt(0).offset, 0x20u);
  EXPECT_EQ(table.EntryAt(0).length, 2u);
  EXPECT_EQ(table.EntryAt(1).id, 5u);
  EXPECT_EQ(table.EntryAt(1).offset, 0x24u);
  EXPECT_EQ(table.EntryAt(1).length, 1u);
  EXPECT_EQ(table.Find(1), u"OK");
}

// Every way the header or index can be wrong is refused before any lookup.
struct Damage {
  const char* what;
  void (*apply)(std::vector<std::uint8_t>&);
  Str0Table::AttachResult expected;
};

const Damage kDamages[] = {
    {"wrong magic", [](auto& b) { b[3] = '1'; }, Str0Table::AttachResult::kBadMagic},
    {"shorter than the header", [](auto& b) { b.resize(7); }, Str0Table::AttachResult::kBadMagic},
    {"count beyond the size", [](auto& b) { PutU32(b, 4, 3); }, Str0Table::AttachResult::kDamaged},
    {"huge count", [](auto& b) { PutU32(b, 4, 0xFFFFFFFF); }, Str0Table::AttachResult::kDamaged},
    {"offset beyond the end", [](auto& b) { PutU32(b, 24, 0x26); }, Str0Table::AttachResult::kDamaged},
    {"length beyond the end", [](auto& b) { PutU32(b, 28, 2); }, Str0Table::AttachResult::kDamaged},
    {"offset and length wrapping",
     [](auto& b) {
       PutU32(b, 24, 0xFFFFFFFE);
       PutU32(b, 28, 0x80000001);
     },
     Str0Table::AttachResult::kDamaged},
    {"offset inside the index", [](auto& b) { PutU32(b, 12, 0x10); }, Str0Table::AttachResult::kDamaged},
    {"ids out of order", [](auto& b) { PutU32(b, 20, 0); }, Str0Table::AttachResult::kDamaged},
    {"duplicate id", [](auto& b) { PutU32(b, 20, 1); }, Str0Table::AttachResult::kDamaged},
    {"text cut off", [](auto& b) { b.pop_back(); }, Str0Table::AttachResult::kDamaged},
};

TEST(Str0Table, DamagedTablesAreRefused) {
  for (const Damage& damage : kDamages) {
    std::vector<std::uint8_t> bytes = kTwoEntries;
    damage.apply(bytes);
    Str0Table table;
    EXPECT_EQ(table.Attach(bytes), damage.expected) << damage.what;
    EXPECT_FALSE(table.Attached()) << damage.what;
    EXPECT_EQ(table.Find(1), std::nullopt) << damage.what;
  }
}

TEST(Str0Table, EmptyTableHasNoEntries) {
  const std::vector<std::uint8_t> empty = {'S', 'T', 'R', '0', 0, 0, 0, 0};
  Str0Table table;
  ASSERT_EQ(table.Attach(empty), Str0Table::AttachResult::kOk);
  EXPECT_EQ(table.Find(0), std::nullopt);
}

TEST(StringResourceReader, BadMagicOrDamagedIndexFailsAsInvalidResource) {
  std::vector<std::uint8_t> badMagic = kTwoEntries;
  badMagic[0] = 's';
  std::vector<std::uint8_t> damaged = kTwoEntries;
  PutU32(damaged, 16, 100);
  MemoryResourceModule module;
  module.Add("BAD_MAGIC", badMagic);
  module.Add("DAMAGED", damaged);
  for (const char* name : {"BAD_MAGIC", "DAMAGED"}) {
    try {
      TAdStringResource reader(module, name);
      FAIL() << name << ": no exception";
    } catch (const ECvsStringResourceError& e) {
      EXPECT_EQ(e.Message(), "Invalid CVString resource") << name;
    }
  }
}

// A module whose resources are found but cannot be loaded or locked.
class FailingModule : public MemoryResourceModule {
 public:
  explicit FailingModule(FindResult result) : result_(result) {}
  FindResult Find(const std::string&, std::span<const std::uint8_t>&) override { return result_; }

 private:
  FindResult result_;
};

TEST(StringResourceReader, LoadAndLockFailuresHaveTheirOwnMessages) {
  FailingModule notLoaded(ResourceModule::FindResult::kNotLoaded);
  FailingModule notLocked(ResourceModule::FindResult::kNotLocked);
  try {
    TAdStringResource reader(notLoaded, "SOME_TABLE");
    FAIL();
  } catch (const ECvsStringResourceError& e) {
    EXPECT_EQ(e.Message(), "Unable to open string resource: SOME_TABLE");
  }
  try {
    TAdStringResource reader(notLocked, "SOME_TABLE");
    FAIL();
  } catch (const ECvsStringResourceError& e) {
    EXPECT_EQ(e.Message(), "Cannot lock resource");
  }
}

TEST(StringResourceReader, NamesAreCutAt255Characters) {
  MemoryResourceModule module;
  try {
    TAdStringResource reader(module, std::string(300, 'N'));
    FAIL();
  } catch (const ECvsStringResourceError& e) {
    EXPECT_EQ(e.Message(), "String resource not found: " + std::string(255, 'N'));
  }
}

TEST(FillPlaceholder, ReplacesOnlyTheFirstPlaceholderAndLeavesOtherTextsAlone) {
  EXPECT_EQ(FillPlaceholder("String not found: %d", "%d", "7"), "String not found: 7");
  EXPECT_EQ(FillPlaceholder("%s and %s", "%s", "a"), "a and %s");
  EXPECT_EQ(FillPlaceholder("no placeholder", "%s", "a"), "no placeholder");
}

}  // namespace
}  // namespace comm
