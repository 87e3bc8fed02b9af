#include "tests/support/screenshot.h"

#include <cstdio>

#include "tests/support/pty_cable.h"

namespace test_support {

namespace {

Pixels CopyFrom(HDC source, int left, int top, int width, int height) {
  Pixels pixels;
  pixels.width = width;
  pixels.height = height;
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    pixels.rgb.assign(first, first + static_cast<std::size_t>(width) * height);
    for (std::uint32_t& pixel : pixels.rgb) pixel &= 0x00FFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  return pixels;
}

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

Pixels CaptureScreen(const RECT& area) {
  HDC screen = GetDC(nullptr);
  Pixels pixels = CopyFrom(screen, area.left, area.top, area.right - area.left, area.bottom - area.top);
  ReleaseDC(nullptr, screen);
  return pixels;
}

Pixels CaptureWindow(HWND window) {
  RECT area;
  GetWindowRect(window, &area);
  HDC surface = GetWindowDC(window);
  Pixels pixels = CopyFrom(surface, 0, 0, area.right - area.left, area.bottom - area.top);
  ReleaseDC(window, surface);
  return pixels;
}

bool SaveBitmap(const std::string& path, const Pixels& pixels) {
  // File header, then a 40-byte information header, then the rows top first
  // (negative height). The fourth byte of each pixel is written opaque, as
  // image viewers read it as alpha.
  std::string bmp = "BM";
  PutLittleEndian(bmp, static_cast<std::uint32_t>(54 + pixels.rgb.size() * 4), 4);
  PutLittleEndian(bmp, 0, 4);
  PutLittleEndian(bmp, 54, 4);
  PutLittleEndian(bmp, 40, 4);
  PutLittleEndian(bmp, static_cast<std::uint32_t>(pixels.width), 4);
  PutLittleEndian(bmp, static_cast<std::uint32_t>(-pixels.height), 4);
  PutLittleEndian(bmp, 1, 2);
  PutLittleEndian(bmp, 32, 2);
  for (int i = 0; i < 6; ++i) PutLittleEndian(bmp, 0, 4);
  for (std::uint32_t pixel : pixels.rgb) PutLittleEndian(bmp, pixel | 0xFF000000u, 4);
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(bmp.data(), 1, bmp.size(), out) == bmp.size();
  return std::fclose(out) == 0 && written;
}

bool ImportDisplayArea(const std::string& path, const RECT& area, DWORD timeoutMs) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  if (length < 3 || length >= MAX_PATH || (full[0] != 'Z' && full[0] != 'z')) return false;
  std::string linuxPath(full + 2, length - 2);
  for (char& c : linuxPath)
    if (c == '\\') c = '/';
  DeleteFileA(full);
  char geometry[64];
  std::snprintf(geometry, sizeof geometry, "%ldx%ld+%ld+%ld", area.right - area.left, area.bottom - area.top,
                area.left, area.top);
  // The file appears under its name only once import has written all of it.
  const std::string temporary = ShellWord(linuxPath + ".tmp.png");
  StartLinuxProgram("/bin/sh -c '/usr/bin/import -window root -crop " + std::string(geometry) + " " +
                    temporary + " && mv " + temporary + " " + ShellWord(linuxPath) + "'");
  return WaitUntil([&] { return GetFileAttributesA(full) != INVALID_FILE_ATTRIBUTES; }, timeoutMs);
}

}  // namespace test_support
