// A real window on the test display: it is created, painted, and what the
// screen shows is read back and saved as a bitmap file in the build folder.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/screenshot.h"

#include <cstdint>

namespace {

constexpr COLORREF kFill = RGB(0, 128, 255);

LRESULT CALLBACK PaintWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HBRUSH brush = CreateSolidBrush(kFill);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < milliseconds) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

}  // namespace

TEST(TestDisplay, PaintedWindowShowsOnScreenAndIsSaved) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = PaintWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "GuiSmokeWindow";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "Smoke", WS_POPUP | WS_VISIBLE,
                                100, 100, 200, 120, nullptr, nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  UpdateWindow(window);
  PumpFor(500);

  RECT client;
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const RECT onScreen{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
  const test_support::Pixels pixels = test_support::CaptureScreen(onScreen);
  DestroyWindow(window);

  EXPECT_TRUE(test_support::SaveBitmap("gui_smoke_screenshot.bmp", pixels));
  const std::uint32_t expected = (GetRValue(kFill) << 16) | (GetGValue(kFill) << 8) | GetBValue(kFill);
  EXPECT_EQ(pixels.At(pixels.width / 2, pixels.height / 2), expected);
}
