// The capture program's main window: device choice, connect and disconnect,
// the received journal and its capture file, settings kept between runs.
#pragma once

#include <memory>
#include <string>

#include "capture/program/session.h"
#include "capture/program/connection_flow.h"
#include "capture/settings/location.h"
#include "capture/program/terminal_capture_win.h"
#include "comm/port/com_port.h"
#include "comm/terminal/emulators.h"
#include "comm/terminal/terminal_win.h"
#include "comm/lights/controller.h"
#include "comm/lights/light_win.h"
#include "comm/port/com_port_component.h"
#include "framework/dialogs.h"
#include "framework/extctrls.h"
#include "framework/form.h"
#include "framework/menus.h"
#include "framework/stdctrls.h"
#include "framework/timer.h"

namespace comm {
class TApdTapiDevice;
}  // namespace comm

namespace capture {

class TfrmCaptureMain : public fw::TForm {
 public:
  // The build variant decides the settings file and whether the register
  // list is shown; the program is built as one variant.
  explicit TfrmCaptureMain(fw::TComponent* owner, int buildVariant = kBuildVariant);
  ~TfrmCaptureMain() override;

  fw::TMainMenu* MainMenu1;
  fw::TMenuItem *mnuFile, *mnuFileNew, *mnuFileOpen, *mnuFileExit;
  fw::TMenuItem *mnuView, *mnuViewLogs;
  fw::TMenuItem *mnuConnection, *mnuConnect, *mnuDisconnect;
  fw::TMenuItem *mnuHelp, *mnuHelpContents, *mnuHelpAbout;
  comm::TApdTerminal* ApdTerminal1;
  comm::TApdEmulator* ApdEmulator1;
  fw::TPanel* pnlRight;
  fw::TLabel* lblCaptureStatus;
  fw::TLabel* lblFileName;
  fw::TEdit* edtCaptureFile;
  fw::TComboBox* cbxRegister;
  fw::TLabel* lblComPort;
  fw::TButton* btnComPort;
  fw::TLabel* lblPhone;
  fw::TEdit* edtDialStr;
  fw::TButton* btnConnect;
  fw::TCheckBox* chkAutoConnect;
  fw::TButton* btnView;
  fw::TButton* btnExit;
  fw::TTimer* Timer1;
  fw::TOpenDialog* dlgOpen;
  comm::ComPortComponent* ApdComPort1;
  comm::TApdStatusLight* ApdStatusLight1;
  comm::TApdSLController* ApdSLController1;
  comm::TApdTapiDevice* ApdTapiDevice1 = nullptr;

  const std::string& Status() const { return flow_->Status(); }
  const std::string& CaptureFileName() const { return session_->FileName(); }
  void NewCaptureFile() { session_->NewCaptureFile(); }
  void Connect();
  void Disconnect();
  bool SelectDevice(std::string& name);

  void WndProc(fw::TMessage& message) override;

 private:
  class Devices;
  class Notices;
  class Dates;
  class Files;
  class Labels;

  void FormCreate();
  void FormClose(fw::TCloseAction& action);
  // Windows is ending the session (WM_ENDSESSION).
  void EndSession();
  void SaveSettings(const std::string& phone);
  void FormResize();
  void btnConnectClick();
  void btnComPortClick();
  void edtDialStrExit();
  void btnViewClick();
  void mnuHelpContentsClick();
  void mnuHelpAboutClick();
  void mnuFileNewClick();
  void mnuFileOpenClick();
  void Timer1Timer();
  void ApdTapiDevice1TapiConnect();
  void ApdEmulator1ProcessChar(char c, TEmuCommand& command);
  comm::TApdComPort& Port() { return ApdComPort1->Port(); }
  void ShowDialColour();
  // The phone number without its punctuation, as it is dialled and stored.
  std::string PhoneNumber();
  fw::TMenuItem* AddItem(fw::TMenuItem* parent, const char* caption, fw::TShortCut shortCut = fw::scNone);

  const int buildVariant_;
  std::unique_ptr<Devices> devices_;
  std::unique_ptr<Notices> notices_;
  std::unique_ptr<Dates> dates_;
  std::unique_ptr<Files> files_;
  std::unique_ptr<Labels> labels_;
  std::unique_ptr<TerminalCapture> terminalCapture_;
  std::unique_ptr<CaptureSession> session_;
  std::unique_ptr<ConnectionFlow> flow_;
};

}  // namespace capture
