// A sample form with one of each control, shown on the test display and
// saved as a screenshot ("framework_sample_form.bmp" in the build folder).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "framework/extctrls.h"
#include "framework/form.h"
#include "framework/menus.h"
#include "framework/stdctrls.h"
#include "framework/timer.h"
#include "tests/framework/gui_support.h"

namespace {

using namespace fw;

class SampleForm : public TForm {
 public:
  explicit SampleForm(TComponent* owner) : TForm(owner) {
    FormLoading loading(*this);
    SetName("SampleForm");
    SetCaption("Sample");
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetClientWidth(520);
    SetClientHeight(330);

    auto* menu = new TMainMenu(this);
    auto* file = new TMenuItem(this);
    file->SetCaption("&File");
    auto* fileNew = new TMenuItem(this);
    fileNew->SetCaption("&New");
    fileNew->SetShortCut(ShortCut('N', ssCtrl));
    file->Add(fileNew);
    auto* help = new TMenuItem(this);
    help->SetCaption("&Help");
    menu->Items().Add(file);
    menu->Items().Add(help);
    SetMenu(menu);

    auto* side = new TPanel(this);
    side->SetName("pnlSide");
    side->SetParent(this);
    side->SetWidth(170);
    side->SetAlign(TAlign::alRight);

    auto* status = new TLabel(this);
    status->SetParent(side);
    status->SetAutoSize(false);
    status->SetBounds(8, 10, 154, 20);
    status->SetAlignment(TAlignment::taCenter);
    status->Font().SetStyle(fsBold);
    status->Font().SetHeight(-15);
    status->Font().SetColor(clMaroon);
    status->SetCaption("IDLE");

    auto* fileLabel = new TLabel(this);
    fileLabel->SetParent(side);
    fileLabel->SetBounds(8, 40, 60, 13);
    fileLabel->SetCaption("File Name");
    auto* fileEdit = new TEdit(this);
    fileEdit->SetParent(side);
    fileEdit->SetBounds(8, 56, 154, 21);
    fileEdit->SetReadOnly(true);
    fileEdit->SetText("C:\\CAPTURE\\20261210.TXT");

    auto* phone = new TEdit(this);
    phone->SetParent(side);
    phone->SetBounds(8, 84, 154, 21);
    phone->SetColor(clBtnFace);
    phone->SetText("5551234");

    auto* combo = new TComboBox(this);
    combo->SetParent(side);
    combo->SetBounds(8, 112, 154, 21);
    for (const char* model : {"ER-600", "ER-650", "SPS-1000"}) combo->Items().Add(model);
    combo->SetItemIndex(1);

    auto* check = new TCheckBox(this);
    check->SetParent(side);
    check->SetBounds(8, 142, 154, 17);
    check->SetCaption("Auto Connect");
    check->SetChecked(true);
    check->SetHint("Connect on start-up");

    auto* connect = new TButton(this);
    connect->SetParent(side);
    connect->SetBounds(8, 168, 154, 25);
    connect->SetCaption("Connec&t");
    connect->SetDefault(true);

    auto* disabled = new TButton(this);
    disabled->SetParent(side);
    disabled->SetBounds(8, 200, 154, 25);
    disabled->SetCaption("View &Logs");
    disabled->SetEnabled(false);

    auto* bevel = new TBevel(this);
    bevel->SetParent(side);
    bevel->SetBounds(8, 234, 154, 2);
    bevel->SetShape(TBevelShape::bsTopLine);

    auto* image = new TImage(this);
    image->SetParent(side);
    image->SetBounds(8, 244, 32, 32);
    image->Picture().SetSize(32, 32);
    TCanvas& canvas = image->Picture().Canvas();
    canvas.Brush.Color = clWhite;
    canvas.FillRect({0, 0, 32, 32});
    canvas.Brush.Color = clNavy;
    canvas.Pen.Color = clNavy;
    canvas.Polygon({{16, 2}, {30, 29}, {2, 29}});

    auto* link = new TLabel(this);
    link->SetParent(side);
    link->SetBounds(48, 254, 100, 13);
    link->Font().SetStyle(fsUnderline);
    link->Font().SetColor(clBlue);
    link->SetCursor(crHandPoint);
    link->SetCaption("www.example.com");

    auto* memo = new TMemo(this);
    memo->SetParent(this);
    memo->SetBounds(12, 12, 330, 180);
    memo->SetScrollBars(TMemo::TScrollStyle::ssVertical);
    memo->Font().SetName("Courier New");
    memo->Font().SetHeight(-12);
    memo->Lines().Add("12/10/26 09:14  SALE     12.50");
    memo->Lines().Add("12/10/26 09:15  SALE      3.20");
    memo->Lines().Add("12/10/26 09:17  NO SALE");

    auto* list = new TListBox(this);
    list->SetParent(this);
    list->SetBounds(12, 200, 200, 118);
    for (const char* name : {"20261208.TXT", "20261209.TXT", "20261210.TXT"}) list->Items().Add(name);
    list->SetItemIndex(2);

    auto* box = new TPanel(this);
    box->SetParent(this);
    box->SetBounds(222, 200, 120, 118);
    box->SetBevelOuter(TBevelCut::bvLowered);
    box->SetCaption("Panel");
    loading.End();
  }
};

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

std::vector<DWORD> CaptureScreen(const RECT& area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
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
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<const DWORD*>(bits),
                            static_cast<const DWORD*>(bits) + width * height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

DWORD Dib(COLORREF color) { return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color); }

TEST(SampleForm, ShowsEveryControlAndIsSavedAsAScreenshot) {
  SampleForm form(nullptr);
  // Below the other tests' windows; the screen is 1280 x 1024.
  form.SetBounds(0, 620, form.Width(), form.Height());
  form.Show();
  POINT origin{0, 0};
  RECT window{};
  std::vector<DWORD> pixels;
  int width = 0;
  auto at = [&](int clientX, int clientY) {
    const int x = origin.x - window.left + clientX, y = origin.y - window.top + clientY;
    return pixels[static_cast<size_t>(y) * width + x];
  };
  const DWORD face = Dib(GetSysColor(COLOR_BTNFACE)), white = Dib(GetSysColor(COLOR_WINDOW)),
              navy = Dib(RGB(0, 0, 128));
  auto looksRight = [&] {
    // The side panel's face, the memo's white inside and the triangle's navy.
    return at(520 - 170 + 100, 320) == face && at(300, 150) == white &&
           at(520 - 170 + 8 + 16, 244 + 20) == navy;
  };
  // Windows of other programs on the display may pass over it for a moment.
  for (int attempt = 0; attempt < 5 && (pixels.empty() || !looksRight()); ++attempt) {
    SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    form.Repaint();
    fwtest::PumpFor(300);
    GetWindowRect(form.Handle(), &window);
    origin = {0, 0};
    ClientToScreen(form.Handle(), &origin);
    width = window.right - window.left;
    pixels = CaptureScreen(window);
  }
  ASSERT_TRUE(SaveBitmap("framework_sample_form.bmp", width, window.bottom - window.top, pixels));
  EXPECT_EQ(at(520 - 170 + 100, 320), face);
  EXPECT_EQ(at(300, 150), white);
  EXPECT_EQ(at(520 - 170 + 8 + 16, 244 + 20), navy);
}

}  // namespace
