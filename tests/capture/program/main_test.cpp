// The main window on real windows: what its buttons and menus do, what it
// captures to, and what it stores when it closes. The test program lives in a
// folder of its own, which is the capture program's folder here.
#include "capture/program/main_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "capture/settings/settings_win.h"
#include "framework/application.h"
#include "framework/dialogs.h"
#include "tests/support/pty_cable.h"
#include "tests/support/files.h"

namespace {

std::string Folder() { return capture::ProgramFolder(capture::ProgramFilePath()); }
std::string SettingsPath() { return Folder() + "ICBR424.CGR"; }

void Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    fw::Application()->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    capture::StartSupportLibrary();
    RemoveDirectoryA(SettingsPath().c_str());
    DeleteFileA(SettingsPath().c_str());
    saved_ = fw::SetMessageBoxFunction([this](const fw::MessageBoxRequest& request) {
      boxes_.push_back(request.Text);
      return fw::mrOk;
    });
  }
  void TearDown() override {
    if (form_) {
      form_->Close();
      delete form_;
    }
    fw::SetMessageBoxFunction(saved_);
    RemoveDirectoryA(SettingsPath().c_str());
    capture::FinishSupportLibrary();
  }
  void Settings(const std::string& text) {
    std::ofstream(SettingsPath(), std::ios::binary | std::ios::trunc) << text;
  }
  capture::TfrmCaptureMain& Open() {
    form_ = new capture::TfrmCaptureMain(nullptr);
    form_->Show();
    Pump(100);
    return *form_;
  }
  void CloseForm() {
    form_->Close();
    delete form_;
    form_ = nullptr;
  }

  capture::TfrmCaptureMain* form_ = nullptr;
  std::vector<std::string> boxes_;
  fw::MessageBoxFunction saved_;
};

TEST_F(MainWindow, StartsIdleOnANewDatedFileInItsFolder) {
  capture::TfrmCaptureMain& form = Open();
  EXPECT_EQ(form.Status(), "IDLE");
  EXPECT_EQ(form.lblCaptureStatus->Text(), "IDLE");
  EXPECT_EQ(form.btnComPort->Text(), "None Selected");
  EXPECT_EQ(form.edtCaptureFile->Text(), form.CaptureFileName());
  EXPECT_EQ(form.CaptureFileName().rfind(Folder(), 0), 0u);
  EXPECT_NE(GetFileAttributesA(form.CaptureFileName().c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(MainWindow, MenuItemsDoWhatTheySayWhenNothingIsSelected) {
  capture::TfrmCaptureMain& form = Open();
  form.mnuDisconnect->Click();
  form.mnuConnect->Click();
  EXPECT_EQ(boxes_, (std::vector<std::string>{"Not Currently Connected", "No Device Selected"}));
  EXPECT_EQ(form.Status(), "IDLE");
  EXPECT_EQ(form.btnConnect->Text(), "Connec&t");
}

TEST_F(MainWindow, WhileCollectingFileAndDeviceCommandsOnlyShowTheirBoxes) {
  test_support::PtyCable cable;
  Settings("[Maintain]\r\nCommPort=Direct to COM" + std::to_string(cable.ProgramPort()) + "\r\n");
  capture::TfrmCaptureMain& form = Open();
  form.btnConnect->Click();
  ASSERT_EQ(form.Status(), "COLLECTING") << (boxes_.empty() ? "" : boxes_.back());
  EXPECT_EQ(form.btnConnect->Text(), "&Disconnect");
  const std::string file = form.CaptureFileName();
  form.mnuFileNew->Click();
  form.mnuFileOpen->Click();
  form.btnComPort->Click();
  EXPECT_EQ(boxes_, (std::vector<std::string>{"You must disconnect before selecting New",
                                              "You must disconnect before selecting Open",
                                              "You must disconnect before selecting new device"}));
  EXPECT_EQ(form.CaptureFileName(), file);
  cable.Send("A\n\nB");
  Pump(1000);
  form.btnConnect->Click();
  EXPECT_EQ(form.Status(), "IDLE");
  EXPECT_EQ(test_support::ReadFileText(file), "A\n\r\nB");
}

TEST_F(MainWindow, ClosingStoresTheSettingsWithTheCleanedNumber) {
  Settings("[Maintain]\r\nCommPort=Shop Modem\r\nPhoneNum=555\r\nAutoConnect=FALSE\r\n");
  capture::TfrmCaptureMain& form = Open();
  EXPECT_EQ(form.btnComPort->Text(), "Shop Modem");
  form.edtDialStr->SetText("(555) 123-4567");
  form.chkAutoConnect->SetChecked(true);
  form.edtDialStr->SetFocus();
  form.btnConnect->SetFocus();
  Pump(50);
  CloseForm();
  EXPECT_EQ(test_support::ReadFileText(SettingsPath()),
            "[Maintain]\r\nCommPort=Shop Modem\r\nPhoneNum=5551234567\r\nAutoConnect=TRUE\r\n");
}

TEST_F(MainWindow, AnUnwritableSettingsFileIsReportedAndTheWindowStillCloses) {
  capture::TfrmCaptureMain& form = Open();
  const std::string file = form.CaptureFileName();
  // A folder in the file's place: writing the settings fails, whoever runs the test.
  DeleteFileA(SettingsPath().c_str());
  ASSERT_TRUE(CreateDirectoryA(SettingsPath().c_str(), nullptr));
  boxes_.clear();
  CloseForm();
  EXPECT_EQ(boxes_.size(), 1u) << "the failure is shown once";
  // Capture was switched off before: the file is complete and free.
  HANDLE handle =
      CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(handle, INVALID_HANDLE_VALUE);
  CloseHandle(handle);
}

std::string seenViewer;

void CALLBACK CloseViewer(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND viewer = FindWindowA(nullptr, "Quorvane - View Logs - No File Selected");
  if (!viewer) return;
  KillTimer(nullptr, timer);
  seenViewer = "shown";
  PostMessageA(viewer, WM_CLOSE, 0, 0);
}

TEST_F(MainWindow, ViewLogsOpensTheLogViewerModally) {
  capture::TfrmCaptureMain& form = Open();
  seenViewer.clear();
  SetTimer(nullptr, 0, 100, CloseViewer);
  form.mnuViewLogs->Click();
  EXPECT_EQ(seenViewer, "shown");
  EXPECT_TRUE(IsWindowEnabled(form.Handle())) << "the main window is usable again";
}

}  // namespace
