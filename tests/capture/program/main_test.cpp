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
#include "comm/telephony/binding.h"
#include "comm/telephony/device.h"
#include "comm/telephony/loader_win.h"
#include "framework/application.h"
#include "framework/dialogs.h"
#include "tests/support/pty_cable.h"
#include "tests/framework/gui_support.h"
#include "tests/support/files.h"
#include "tests/support/tapi_script.h"

namespace {

std::string Folder() { return capture::ProgramFolder(capture::ProgramFilePath()); }
std::string SettingsPath() { return Folder() + "ICBR424.CGR"; }
// The settings file of build variant 1.
std::string VariantOneSettingsPath() { return Folder() + "ictu424.cgr"; }

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
    // As the program's start-up does: telephony through the system's library.
    comm::UseSystemTapiLoader();
    RemoveDirectoryA(SettingsPath().c_str());
    DeleteFileA(SettingsPath().c_str());
    DeleteFileA(VariantOneSettingsPath().c_str());
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
    comm::UnloadTapi();
    RemoveDirectoryA(SettingsPath().c_str());
    capture::FinishSupportLibrary();
  }
  void Settings(const std::string& text) {
    std::ofstream(SettingsPath(), std::ios::binary | std::ios::trunc) << text;
  }
  capture::TfrmCaptureMain& Open(int buildVariant = capture::kBuildVariant) {
    form_ = new capture::TfrmCaptureMain(nullptr, buildVariant);
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

TEST_F(MainWindow, Is638By448WithTheTerminalFillingTheClientAreaLeftOfThePanel) {
  capture::TfrmCaptureMain& form = Open();
  EXPECT_EQ(form.Width(), 638);
  EXPECT_EQ(form.Height(), 448);
  EXPECT_EQ(form.pnlRight->Width(), 158);
  EXPECT_EQ(form.pnlRight->Height(), form.ClientHeight());
  EXPECT_EQ(form.ApdTerminal1->Left(), 12);
  EXPECT_EQ(form.ApdTerminal1->Top(), 12);
  EXPECT_EQ(form.ApdTerminal1->Left() + form.ApdTerminal1->Width(), form.ClientWidth() - 158);
  EXPECT_EQ(form.ApdTerminal1->Top() + form.ApdTerminal1->Height(), form.ClientHeight() - 12);
  EXPECT_EQ(form.btnExit->Top(), form.pnlRight->Height() - 25);
  EXPECT_EQ(form.btnView->Top(), form.pnlRight->Height() - 57);
}

TEST_F(MainWindow, OpenStartsInTheProgramsFolderWhereTheCaptureFilesAre) {
  capture::TfrmCaptureMain& form = Open();
  std::string folder = Folder();
  folder.pop_back();  // the dialog shows it without its backslash
  const std::string shown = fwtest::FolderShownByFileDialog([&] { form.mnuFileOpen->Click(); });
  EXPECT_EQ(lstrcmpiA(shown.c_str(), folder.c_str()), 0) << shown;
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

TEST_F(MainWindow, ACableEndedMidCaptureKeepsTheJournalAndSaysWhyOnce) {
  test_support::PtyCable cable;
  const std::string port = "COM" + std::to_string(cable.ProgramPort());
  Settings("[Maintain]\r\nCommPort=Direct to " + port + "\r\n");
  capture::TfrmCaptureMain& form = Open();
  form.btnConnect->Click();
  ASSERT_EQ(form.Status(), "COLLECTING") << (boxes_.empty() ? "" : boxes_.back());
  const std::string file = form.CaptureFileName();
  cable.Send("SALE 1   2.50\r\nSALE 2   4.75\r\n");
  Pump(1000);
  boxes_.clear();
  cable.Cut();  // the adapter is pulled out
  for (DWORD start = GetTickCount(); form.Status() != "IDLE" && GetTickCount() - start < 15000;) Pump(50);
  EXPECT_EQ(form.Status(), "IDLE");
  EXPECT_EQ(form.lblCaptureStatus->Text(), "IDLE");
  EXPECT_EQ(form.btnConnect->Text(), "Connec&t");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].rfind("The connection on " + port + " failed", 0), 0u) << boxes_[0];
  EXPECT_EQ(test_support::ReadFileText(file), "SALE 1   2.50\r\nSALE 2   4.75\r\n")
      << "flushed and closed: nothing held is lost";
  Pump(500);
  EXPECT_EQ(boxes_.size(), 1u) << "one box";
}

TEST_F(MainWindow, ClosingStoresTheSettingsWithTheCleanedNumber) {
  Settings("[Maintain]\r\nCommPort=Shop Modem\r\nPhoneNum=555\r\nAutoConnect=FALSE\r\n");
  capture::TfrmCaptureMain& form = Open();
  EXPECT_EQ(form.btnComPort->Text(), "Shop Modem");
  form.edtDialStr->SetText("(555) 123-4567");
  form.chkAutoConnect->SetChecked(true);
  // Closed while the number is still being typed: the field keeps the focus.
  form.edtDialStr->SetFocus();
  Pump(50);
  ASSERT_EQ(GetFocus(), form.edtDialStr->Handle());
  CloseForm();
  EXPECT_EQ(test_support::ReadFileText(SettingsPath()),
            "[Maintain]\r\nCommPort=Shop Modem\r\nPhoneNum=5551234567\r\nAutoConnect=TRUE\r\n");
}

// Pumps until a box has been shown, at most `milliseconds`.
bool PumpUntilBox(const std::vector<std::string>& boxes, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (boxes.empty() && GetTickCount() - start < milliseconds) Pump(50);
  return !boxes.empty();
}

TEST_F(MainWindow, ConnectFromTheMenuDialsTheCleanedNumberWhileTheFieldHasTheFocus) {
  test_support::TapiScript script("capture_main_menu", "line Shop Modem\nattempt busy\n");
  Settings("[Maintain]\r\nCommPort=Shop Modem\r\n");
  capture::TfrmCaptureMain& form = Open();
  form.edtDialStr->SetText("(555) 123-4567");
  form.edtDialStr->SetFocus();
  Pump(50);
  form.mnuConnect->Click();  // Ctrl+T: the field keeps the focus
  ASSERT_EQ(script.CallsStartingWith("lineMakeCall").size(), 1u) << (boxes_.empty() ? "" : boxes_.back());
  const std::string call = script.CallsStartingWith("lineMakeCall")[0];
  EXPECT_NE(call.find("5551234567"), std::string::npos) << call;
  EXPECT_EQ(call.find("(555)"), std::string::npos) << call;
  EXPECT_EQ(form.edtDialStr->Text(), "5551234567");
  form.btnConnect->Click();
}

TEST_F(MainWindow, ABusyLineAfterItsRetriesEndsIdleWithTheModemBox) {
  test_support::TapiScript script("capture_main_busy", "line Shop Modem\nattempt busy\n");
  Settings("[Maintain]\r\nCommPort=Shop Modem\r\nPhoneNum=5551234\r\n");
  capture::TfrmCaptureMain& form = Open();
  // Two attempts a second apart, so the test need not wait minutes.
  form.ApdTapiDevice1->RetryWait = 1;
  form.ApdTapiDevice1->MaxAttempts = 2;
  form.btnConnect->Click();
  EXPECT_EQ(form.Status(), "DIALING");
  ASSERT_TRUE(PumpUntilBox(boxes_, 15000)) << "still " << form.Status();
  EXPECT_EQ(boxes_, std::vector<std::string>{"Unable to Connect to Modem"});
  EXPECT_EQ(script.CallsStartingWith("lineMakeCall").size(), 2u);
  EXPECT_EQ(form.Status(), "IDLE");
  EXPECT_EQ(form.lblCaptureStatus->Text(), "IDLE");
  EXPECT_EQ(form.btnConnect->Text(), "Connec&t");
  EXPECT_EQ(form.ApdComPort1->Port().TapiMode(), comm::TTapiMode::tmOff);
  EXPECT_EQ(form.ApdTerminal1->Capture(), comm::cmOff);
  // Idle for real: the device may be chosen again, and Connect dials again.
  boxes_.clear();
  form.btnConnect->Click();
  EXPECT_EQ(form.Status(), "DIALING");
  EXPECT_EQ(script.CallsStartingWith("lineMakeCall").size(), 3u);
  form.btnConnect->Click();
  EXPECT_EQ(form.Status(), "IDLE");
  EXPECT_TRUE(boxes_.empty()) << "hanging up ourselves is no failure: " << boxes_.front();
}

TEST_F(MainWindow, TheRegisterListIsHiddenAndNotStoredInThisProgramsVariant) {
  Settings("[Maintain]\r\nCommPort=Shop Modem\r\n");
  capture::TfrmCaptureMain& form = Open();
  EXPECT_FALSE(form.cbxRegister->Visible());
  EXPECT_FALSE(IsWindowVisible(form.cbxRegister->Handle()));
  CloseForm();
  EXPECT_EQ(GetPrivateProfileIntA("Maintain", "Register", -7, SettingsPath().c_str()), -7);
}

TEST_F(MainWindow, BuildVariantOneShowsTheRegisterListAndKeepsItsChoiceInItsOwnFile) {
  const std::vector<std::string> models = {"ER-600",   "ER-650",  "SPS-1000", "ER-52XX",
                                           "ER-52XXM", "ER-6500", "ER-7000",  "SPS-2000"};
  const std::string path = VariantOneSettingsPath();
  // Nothing stored yet: the first model.
  capture::TfrmCaptureMain& first = Open(1);
  EXPECT_TRUE(first.cbxRegister->Visible());
  EXPECT_TRUE(IsWindowVisible(first.cbxRegister->Handle()));
  EXPECT_EQ(first.cbxRegister->Items().Strings(), models);
  EXPECT_EQ(first.cbxRegister->ItemIndex(), 0);
  CloseForm();
  EXPECT_EQ(GetPrivateProfileIntA("Maintain", "Register", -7, path.c_str()), 0);
  // A stored choice comes back, and the user's new one is kept.
  WritePrivateProfileStringA("Maintain", "Register", "3", path.c_str());
  capture::TfrmCaptureMain& second = Open(1);
  EXPECT_EQ(second.cbxRegister->ItemIndex(), 3);
  EXPECT_EQ(second.cbxRegister->Text(), "ER-52XX");
  second.cbxRegister->SetItemIndex(6);
  CloseForm();
  EXPECT_EQ(GetPrivateProfileIntA("Maintain", "Register", -7, path.c_str()), 6);
  EXPECT_EQ(GetFileAttributesA(SettingsPath().c_str()), INVALID_FILE_ATTRIBUTES)
      << "the other variant's file is left alone";
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
