// The about box on real windows (Wine on Xvfb).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "capture/settings/about.h"
#include "capture/settings/settings_win.h"
#include "framework/application.h"
#include "framework/timer.h"
#include "tests/support/screenshot.h"
#include "tests/support/files.h"

namespace capture {
namespace {

void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    fw::Application()->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

class AboutBox : public ::testing::Test {
 protected:
  void SetUp() override { StartSupportLibrary(); }
  void TearDown() override { FinishSupportLibrary(); }
};

TEST_F(AboutBox, IsAFixedDialogWithTheProgramsFileVersion) {
  TfrmCaptureAbout box(nullptr);
  EXPECT_EQ(box.Caption(), "Quorvane About");
  EXPECT_EQ(box.BorderStyle(), fw::TFormBorderStyle::bsSingle);
  EXPECT_EQ(box.BorderIcons(), static_cast<unsigned>(fw::biSystemMenu));
  EXPECT_EQ(box.Position(), fw::TPosition::poScreenCenter);
  EXPECT_EQ(box.StVersionInfo1->FileName(), ProgramFilePath());
  // This test program carries the capture program's version resource.
  EXPECT_EQ(box.lblVersion->Caption(), "Version: 1.0.0.1");
  EXPECT_EQ(box.lblProduct->Caption(), "Quorvane");
  EXPECT_EQ(box.lblProduct->Font().Style(), static_cast<unsigned>(fw::fsBold));
  EXPECT_EQ(box.lblProduct->Font().Height(), -16);
  EXPECT_EQ(box.lblVersion->Font().Style(), static_cast<unsigned>(fw::fsBold));
  EXPECT_EQ(box.lblVersion->Font().Height(), -13);
  EXPECT_EQ(box.lblSales->Caption(), "Sales:");
  EXPECT_EQ(box.lblSupport->Caption(), "Support:");
  EXPECT_EQ(box.btnClose->Caption(), "&Close");
  EXPECT_TRUE(box.btnClose->Default());

  struct Link {
    fw::TLabel* label;
    const char* hint;
  };
  for (const Link& link : {Link{box.lblWebSite, "Click to open Ostrel's web site"},
                           Link{box.lblSalesAddress, "Click to email sales"},
                           Link{box.lblSupportAddress, "Click to email support"}}) {
    SCOPED_TRACE(link.label->Name());
    EXPECT_EQ(link.label->Hint(), link.hint);
    EXPECT_EQ(link.label->Font().Color(), fw::clBlue);
    EXPECT_EQ(link.label->Font().Style(), static_cast<unsigned>(fw::fsUnderline));
    EXPECT_EQ(link.label->Cursor(), fw::crHandPoint);
  }
}

TEST_F(AboutBox, ShowsModallyCentredWithItsVersionAndClosesWithEnter) {
  TfrmCaptureAbout box(nullptr);
  test_support::Pixels pixels;
  RECT client{}, version{}, web{};
  LONG style = 0;
  // Other test programs share the display: keep their windows off the box.
  box.OnShow = [&](fw::TComponent*) {
    SetWindowPos(box.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  };
  // Once the box is on the screen: look at it, then press Enter.
  auto* look = new fw::TTimer(&box);
  look->SetInterval(500);
  look->OnTimer = [&](fw::TComponent*) {
    look->SetEnabled(false);
    GetClientRect(box.Handle(), &client);
    style = GetWindowLongA(box.Handle(), GWL_STYLE);
    GetWindowRect(box.lblVersion->Handle(), &version);
    GetWindowRect(box.lblWebSite->Handle(), &web);
    RECT frame;
    GetWindowRect(box.Handle(), &frame);
    OffsetRect(&version, -frame.left, -frame.top);
    OffsetRect(&web, -frame.left, -frame.top);
    RECT onScreen;
    GetWindowRect(box.Handle(), &onScreen);
    pixels = test_support::CaptureScreen(onScreen);
    test_support::SaveBitmap(test_support::FullPath("about_box.bmp"), pixels);
    PostMessageA(box.btnClose->Handle(), WM_KEYDOWN, VK_RETURN, 1);
  };
  // A box that does not close ends the test instead of hanging it.
  auto* guard = new fw::TTimer(&box);
  guard->SetInterval(10000);
  guard->OnTimer = [&](fw::TComponent*) { box.SetModalResult(fw::mrAbort); };
  EXPECT_NE(box.ShowModal(), fw::mrAbort);

  EXPECT_EQ(client.right, 443);
  EXPECT_EQ(client.bottom, 354);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  ASSERT_FALSE(pixels.rgb.empty());
  // The version line and the link are drawn: dark text pixels in the one,
  // pure blue ones in the other.
  auto countIn = [&](const RECT& r, auto match) {
    int count = 0;
    for (int y = std::max(0L, r.top); y < std::min<LONG>(pixels.height, r.bottom); ++y)
      for (int x = std::max(0L, r.left); x < std::min<LONG>(pixels.width, r.right); ++x)
        if (match(pixels.At(x, y))) ++count;
    return count;
  };
  EXPECT_GT(countIn(version, [](std::uint32_t p) { return p == 0x000000; }), 20);
  EXPECT_GT(countIn(web, [](std::uint32_t p) { return p == 0x0000FF; }), 20);
}

TEST_F(AboutBox, LinksShowTheHandCursor) {
  TfrmCaptureAbout box(nullptr);
  box.Show();
  PumpFor(50);
  SendMessageA(box.lblSalesAddress->Handle(), WM_SETCURSOR,
               reinterpret_cast<WPARAM>(box.lblSalesAddress->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
}

// Puts the recorder in place of the shell's commands for web and mail
// addresses, and puts the old commands back afterwards.
class ShellRecorder {
 public:
  explicit ShellRecorder(const std::string& log) {
    DeleteFileA(log.c_str());
    const std::string command = "\"" + test_support::FullPath("shell_recorder.exe") + "\" \"" + log + "\" %1";
    for (const char* type : {"http", "mailto"}) {
      const std::string key = std::string(type) + "\\shell\\open\\command";
      saved_.push_back({key, Read(key)});
      HKEY handle;
      if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                          nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
        RegCloseKey(handle);
      }
    }
  }
  ~ShellRecorder() {
    for (const auto& [key, value] : saved_) {
      HKEY handle;
      if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        continue;
      if (value.empty()) {
        RegDeleteValueA(handle, nullptr);
      } else {
        RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
      }
      RegCloseKey(handle);
    }
  }

 private:
  static std::string Read(const std::string& key) {
    char buffer[1024];
    LONG size = sizeof buffer;
    return RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), buffer, &size) == ERROR_SUCCESS
               ? std::string(buffer)
               : std::string();
  }
  std::vector<std::pair<std::string, std::string>> saved_;
};

// Clicks the label as the mouse would and waits for the recorder's next line.
std::string ClickAndRecord(fw::TLabel* label, const std::string& log, std::size_t line) {
  PostMessageA(label->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  PostMessageA(label->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 15000) {
    PumpFor(50);
    const std::string text = test_support::ReadFileText(log);
    std::size_t begin = 0;
    for (std::size_t i = 0; i < line && begin != std::string::npos; ++i) {
      begin = text.find('\n', begin);
      if (begin != std::string::npos) ++begin;
    }
    if (begin == std::string::npos) continue;
    const std::size_t end = text.find('\n', begin);
    if (end != std::string::npos) return text.substr(begin, end - begin);
  }
  return "nothing recorded";
}

TEST_F(AboutBox, LinkClicksReachTheShellWithTheirTargetsShownNormally) {
  // The log in the temporary folder keeps the registered command short: a
  // checkout in a deep folder otherwise makes it too long for the shell.
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string log = std::string(temp) + "shell_links.log";
  ShellRecorder recorder(log);
  TfrmCaptureAbout box(nullptr);
  box.Show();
  PumpFor(50);
  const std::string shown = "|show=" + std::to_string(SW_SHOWNORMAL);
  EXPECT_EQ(ClickAndRecord(box.lblWebSite, log, 0), "http://www.example.com/" + shown);
  EXPECT_EQ(ClickAndRecord(box.lblSalesAddress, log, 1), "mailto:sales@example.com" + shown);
  EXPECT_EQ(ClickAndRecord(box.lblSupportAddress, log, 2), "mailto:support@example.com" + shown);
}

}  // namespace
}  // namespace capture
