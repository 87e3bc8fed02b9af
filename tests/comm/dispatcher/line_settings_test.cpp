// Line changes and flow control of the dispatcher over the in-memory driver.
#include <gtest/gtest.h>

#include "comm/base/error_codes.h"
#include "tests/comm/dispatcher/dispatcher_test_support.h"

namespace {

using comm::TApdBaseDispatcher;
using LineSettings = comm_test::OpenedFake;

TEST(LineChangeDelay, EighteenCharactersAtTheOldRateRoundedUp) {
  EXPECT_EQ(TApdBaseDispatcher::LineChangeDelayMs(9600, 10), 19u);   // 1041 x 10 x 18 = 187380
  EXPECT_EQ(TApdBaseDispatcher::LineChangeDelayMs(115200, 11), 2u);  // 86 x 11 x 18 = 17028
  EXPECT_EQ(TApdBaseDispatcher::LineChangeDelayMs(921600, 10), 1u);  // 10 x 10 x 18 = 1800, doubled
  EXPECT_EQ(TApdBaseDispatcher::LineChangeDelayMs(0, 10), 0u) << "a driver rate of 0 means no delay";
}

TEST(BaudValues, RateCodesMapToRatesAndPlainRatesPass) {
  EXPECT_EQ(comm::RateOfBaudValue(0xFEFF), 115200u);
  EXPECT_EQ(comm::RateOfBaudValue(0xFF16), 9600u);
  EXPECT_EQ(comm::RateOfBaudValue(0xFF27), 256000u);
  EXPECT_EQ(comm::RateOfBaudValue(0xFF19), 0xFF19u) << "an empty table entry is a rate";
  EXPECT_EQ(comm::RateOfBaudValue(57600), 57600u);
}

TEST_F(LineSettings, UnchangedSettingsWriteNothingAndDoNotWait) {
  port.statesWritten.clear();
  port.sleeps.clear();
  EXPECT_EQ(port.ChangeLine(9600, 0, 1, 8), 0);
  EXPECT_EQ(port.ChangeLine(0, 5, 3, 9), 0);
  EXPECT_TRUE(port.statesWritten.empty());
  EXPECT_TRUE(port.sleeps.empty());
}

TEST_F(LineSettings, ChangeWaitsForTheOldRateThenWritesKeepingTheOpenFlags) {
  port.statesWritten.clear();
  port.sleeps.clear();
  EXPECT_EQ(port.ChangeLine(19200, 2, 2, 7), 0);
  EXPECT_EQ(port.sleeps, (std::vector<std::uint32_t>{21})) << "11 bits of the new format at the old 9600";
  ASSERT_EQ(port.statesWritten.size(), 1u);
  const comm::LineSettingsBlock& block = port.statesWritten[0];
  EXPECT_EQ(block.BaudRate, 19200u);
  EXPECT_EQ(block.Parity, comm::kEvenParity);
  EXPECT_EQ(block.StopBits, comm::kTwoStopBits);
  EXPECT_EQ(block.ByteSize, 7);
  EXPECT_TRUE(block.Binary);
  EXPECT_TRUE(block.TxContinueOnXoff);
  std::uint32_t baud;
  std::uint8_t parity, stopBits, dataBits;
  port.QueryLine(baud, parity, stopBits, dataBits);
  EXPECT_EQ(baud, 19200u);
  EXPECT_EQ(stopBits, 2);
}

TEST_F(LineSettings, StopBitNormalisationAndFiveDataBits) {
  const struct {
    std::uint8_t stopArgument, dataBits, code;
  } cases[] = {{0, 8, comm::kOneStopBit},
               {7, 8, comm::kTwoStopBits},
               {2, 5, comm::kOne5StopBits},
               {1, 5, comm::kOneStopBit},
               {3, 6, comm::kOneStopBit}};
  for (const auto& c : cases) {
    ASSERT_EQ(port.ChangeLine(9600, 0, c.stopArgument, c.dataBits), 0);
    EXPECT_EQ(port.WorkingLineSettings().StopBits, c.code) << int(c.stopArgument) << "/" << int(c.dataBits);
    port.ChangeLine(9600, 0, 1, 8);
  }
  EXPECT_EQ(port.ChangeLine(9600, 0, 1, 4), comm::codes::kBadArgument);
}

TEST_F(LineSettings, DrainThatNeverEndsGivesUpAndStillChanges) {
  port.autoDrain = false;
  ASSERT_EQ(port.SendBlock({reinterpret_cast<const std::uint8_t*>("stuck"), 5}), 0);
  port.sleeps.clear();
  EXPECT_EQ(port.ChangeLine(2400, 0, 1, 8), 0);
  EXPECT_EQ(port.sleeps.size(), 5001u);
  EXPECT_EQ(port.driverBlock.BaudRate, 2400u);
}

TEST_F(LineSettings, HardwareFlowLimitsAndOptionsReadBack) {
  EXPECT_EQ(port.SetHardwareFlow(5000, 100, 2), comm::codes::kBadArgument);
  EXPECT_EQ(port.SetHardwareFlow(100, 200, 2), comm::codes::kBadArgument);
  EXPECT_EQ(port.WorkingLineSettings().RtsControl, comm::kRtsControlEnable) << "nothing changed";
  ASSERT_EQ(port.SetHardwareFlow(256, 200, 2 | 8), 0);
  std::uint32_t hardware, software;
  char xOff, xOn;
  port.QueryFlow(hardware, software, xOff, xOn);
  EXPECT_EQ(hardware, 10u);
  EXPECT_EQ(port.driverBlock.XoffLim, 3840);
  EXPECT_EQ(port.driverBlock.XonLim, 200);
  EXPECT_TRUE(port.driverBlock.OutxCtsFlow);
}

TEST_F(LineSettings, SoftwareFlowForReceivingUsesFixedCharacters) {
  port.SetFlowChars('a', 'b');
  ASSERT_EQ(port.SetSoftwareFlow(3072, 1024, 2), 0);
  EXPECT_TRUE(port.driverBlock.InX);
  EXPECT_FALSE(port.driverBlock.OutX);
  EXPECT_EQ(port.driverBlock.XoffLim, 1024);
  EXPECT_EQ(port.driverBlock.XonLim, 1024);
  EXPECT_EQ(port.driverBlock.XonChar, 17);
  EXPECT_EQ(port.driverBlock.XoffChar, 19);
  ASSERT_EQ(port.ClearSoftwareFlow(), 0);
  EXPECT_FALSE(port.driverBlock.InX);
}

}  // namespace
