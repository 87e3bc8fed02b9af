// A real window on the test display: it is created, painted, and what the
// screen shows is read back and saved as a bitmap file in the build folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

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

bool SaveBitmap(const char* path, int width, int height, const std::vector<DWORD>& pixels) {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = -height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size() * 4);
  FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::fwrite(pixels.data(), 4, pixels.size(), out);
  return std::fclose(out) == 0;
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
  const int width = client.right, height = client.bottom;

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DestroyWindow(window);

  EXPECT_TRUE(SaveBitmap("gui_smoke_screenshot.bmp", width, height, pixels));
  // DIB pixels are 0x00RRGGBB.
  const DWORD expected = (GetRValue(kFill) << 16) | (GetGValue(kFill) << 8) | GetBValue(kFill);
  EXPECT_EQ(pixels[(height / 2) * width + width / 2], expected);
}
