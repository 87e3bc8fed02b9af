// Pixels of what a test shows on the test display, and a bitmap file of them
// that a person can look at.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;  // 0x00RRGGBB, top row first

  std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

// A rectangle of the screen as it shows now (windows over it included).
Pixels CaptureScreen(const RECT& area);
// A window read from its own surface: other windows over it do not show.
Pixels CaptureWindow(HWND window);
// Writes the pixels as a 32-bit bitmap file; false when it cannot.
bool SaveBitmap(const std::string& path, const Pixels& pixels);
// A rectangle of the test display as the X server shows it, taken by
// ImageMagick's import into a PNG file (a path under the current folder, which
// must be on drive Z:); false when no file came within the time. For windows of
// another process, which CaptureWindow cannot read.
bool ImportDisplayArea(const std::string& path, const RECT& area, DWORD timeoutMs = 20000);

}  // namespace test_support
