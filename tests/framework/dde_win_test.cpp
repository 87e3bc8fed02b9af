// The DDE client against the stand-in server in its own process: every
// request gets the answer to its own item, every execute is delivered once
// and in order, and a refused execute reports failure.
#include <gtest/gtest.h>

#include "framework/dde_win.h"
#include "tests/support/dde_standin.h"

namespace {

const char kScript[] =
    "group Alpha\n\"Alpha\",\"C:\\A\",1\n"
    "group Beta\n\"Beta\",\"C:\\B\",0\n"
    "refuse [Refuse\n";

TEST(DdeClientConv, RequestsAndExecutesStayMatchedToTheirItems) {
  test_support::DdeStandIn server("FWDDETEST", kScript);
  fw::TDdeClientConv conv;
  conv.DdeService = conv.DdeTopic = "FWDDETEST";
  ASSERT_TRUE(conv.OpenLink());
  for (int round = 0; round < 4; ++round) {
    EXPECT_EQ(conv.RequestData("Groups"), "Alpha\r\nBeta\r\n") << round;
    EXPECT_EQ(conv.RequestData("Alpha"), "\"Alpha\",\"C:\\A\",1\r\n") << round;
    EXPECT_EQ(conv.RequestData("Beta"), "\"Beta\",\"C:\\B\",0\r\n") << round;
    EXPECT_EQ(conv.RequestData("Missing"), std::nullopt) << round;
    EXPECT_TRUE(conv.ExecuteMacro("[One(" + std::to_string(round) + ")]")) << round;
    EXPECT_FALSE(conv.ExecuteMacro("[Refuse(" + std::to_string(round) + ")]")) << round;
  }
  const auto executes = server.Executes();
  ASSERT_EQ(executes.size(), 8u);
  EXPECT_EQ(executes[0], "[One(0)]");
  EXPECT_EQ(executes[1], "[Refuse(0)]");
  EXPECT_EQ(executes[7], "[Refuse(3)]");
}

TEST(DdeClientConv, RequestsLeaveOtherUsersOfTheItemNameTheirAtom) {
  // Another program that asks for "Groups" at the same time holds the same
  // atom: a request must give back only the reference it took.
  const ATOM held = GlobalAddAtomA("Groups");
  test_support::DdeStandIn server("FWDDEATOM", kScript);
  fw::TDdeClientConv conv;
  conv.DdeService = conv.DdeTopic = "FWDDEATOM";
  ASSERT_TRUE(conv.OpenLink());
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(conv.RequestData("Groups"), "Alpha\r\nBeta\r\n");
    EXPECT_EQ(conv.RequestData("Missing"), std::nullopt);
  }
  EXPECT_EQ(GlobalFindAtomA("Groups"), held);
  GlobalDeleteAtom(held);
}

TEST(DdeClientConv, NoServerFailsToOpenAndLaterOpensWhenOneComes) {
  fw::TDdeClientConv conv;
  conv.DdeService = conv.DdeTopic = "FWDDENONE";
  EXPECT_FALSE(conv.OpenLink());
  EXPECT_FALSE(conv.Connected());
  EXPECT_EQ(conv.RequestData("Groups"), std::nullopt);
  test_support::DdeStandIn server("FWDDENONE", kScript);
  EXPECT_TRUE(conv.OpenLink());
  EXPECT_EQ(conv.RequestData("Groups"), "Alpha\r\nBeta\r\n");
}

}  // namespace
