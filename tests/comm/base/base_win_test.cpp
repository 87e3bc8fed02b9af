#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "comm/base/exceptions.h"
#include "comm/base/string_resource_win.h"
#include "comm/base/system_misc_win.h"
#include "comm/base/tick_timer.h"

namespace comm {
namespace {

class CommBase : public ::testing::Test {
 protected:
  void SetUp() override { StartCommBase(); }
  void TearDown() override {
    FinishCommBase();
    SetTickClock(nullptr);
  }
};

TEST_F(CommBase, TablesAreFoundAmongTheProgramsResources) {
  TAdStringResource errors(ProgramResources(), "CVL_ERROR_STRINGS_ENGLISH");
  EXPECT_EQ(errors.LookupText(0), "OK");
  EXPECT_EQ(errors.LookupText(2011), "The ComNumber property of the TApdComPort has not been set");
  EXPECT_EQ(errors.LookupText(15502), "--------  --------  ------------  --------  ---------");
  TAdStringResource messages(ProgramResources(), "adsrmgr_strings");
  EXPECT_EQ(messages.LookupText(5), "Invalid CVString resource");
}

TEST_F(CommBase, MissingResourceIsReportedWithItsName) {
  try {
    TAdStringResource reader(ProgramResources(), "NO_SUCH_STRINGS");
    FAIL() << "no exception";
  } catch (const ECvsStringResourceError& e) {
    EXPECT_EQ(e.Message(), "String resource not found: NO_SUCH_STRINGS");
  }
}

TEST_F(CommBase, CheckCodeRaisesWithTheTextFromTheResource) {
  try {
    CheckCode(false, codes::kNoPortSelected);
    FAIL() << "no exception";
  } catch (const ENoPortSelected& e) {
    EXPECT_EQ(e.ErrorCode, -2011);
    EXPECT_EQ(e.Message(), "The ComNumber property of the TApdComPort has not been set");
  }
}

// 7 and 87 have no table entry, so their texts come from FormatMessage; the
// wording is the system's, the shape is ours.
TEST_F(CommBase, CodesWithoutTableTextTakeTheCleanedSystemMessage) {
  for (int code : {-7, -87}) {
    SCOPED_TRACE(code);
    const std::string text = ErrorText(code);
    ASSERT_FALSE(text.empty());
    EXPECT_LE(text.size(), kMaxErrorTextLength);
    for (char c : text) EXPECT_GE(static_cast<unsigned char>(c), 0x20);
    EXPECT_EQ(text.find("  "), std::string::npos);
    EXPECT_EQ(text.back(), ' ');
    EXPECT_NE(text[text.size() - 2], ' ');
    EXPECT_EQ(CleanSystemMessage(SystemMessages().SystemMessage(static_cast<std::uint32_t>(-code))), text);
  }
}

TEST_F(CommBase, CodeWithNoTextAnywhereGivesAnEmptyText) {
  EXPECT_EQ(SystemMessages().SystemMessage(0x2FFFFFFF), "");
  EXPECT_EQ(ErrorText(0x2FFFFFFF), "");
}

TEST_F(CommBase, TickTimersRunOnTheSystemClock) {
  TTickTimer timer;
  StartTickTimer(timer, 20);  // 1.1 s
  EXPECT_FALSE(TickTimerExpired(timer));
  Sleep(1300);
  EXPECT_TRUE(TickTimerExpired(timer));
}

TEST(PumpOneMessage, ReturnsZeroWhenNothingWaits) {
  MSG drain;
  while (PeekMessageA(&drain, nullptr, 0, 0, PM_REMOVE)) {
  }
  EXPECT_EQ(PumpOneMessage(), 0u);
}

TEST(PumpOneMessage, PostsQuitAgainWithItsExitCode) {
  PostQuitMessage(42);
  EXPECT_EQ(PumpOneMessage(), static_cast<std::uint32_t>(WM_QUIT));
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 42u);
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP + 1) {
    ++*reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(PumpOneMessage, DispatchesOneMessageToItsWindow) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = CountingProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "CommPumpTestWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "CommPumpTestWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  int count = 0;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count));
  MSG drain;
  while (PeekMessageA(&drain, nullptr, 0, 0, PM_REMOVE)) {
  }
  PostMessageA(window, WM_APP + 1, 0, 0);
  PostMessageA(window, WM_APP + 1, 0, 0);
  const std::uint32_t result = PumpOneMessage();
  EXPECT_EQ(count, 1);
  EXPECT_EQ(result & 0xFFFF, static_cast<std::uint32_t>(WM_APP + 1));
  EXPECT_EQ(result >> 16, reinterpret_cast<std::uintptr_t>(window) & 0xFFFF);
  EXPECT_NE(PumpOneMessage(), 0u);
  EXPECT_EQ(count, 2);
  DestroyWindow(window);
}

TEST(ExistsFile, TrueForAFileOnlyNotForAFolderOrNothing) {
  { std::ofstream("exists_file_probe.txt") << "x"; }
  EXPECT_TRUE(ExistsFile("exists_file_probe.txt"));
  EXPECT_FALSE(ExistsFile("no_such_file_here.txt"));
  CreateDirectoryA("exists_file_folder", nullptr);
  EXPECT_FALSE(ExistsFile("exists_file_folder"));
}

}  // namespace
}  // namespace comm
