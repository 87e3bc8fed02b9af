#include "capture/program/main_win.h"

#include <windows.h>

#include "capture/settings/about.h"
#include "capture/program/connection_rules.h"
#include "capture/program/received_char_filter.h"
#include "capture/settings/location.h"
#include "capture/settings/settings_win.h"
#include "capture/viewer/view_logs_win.h"
#include "comm/port/com_port_win.h"
#include "comm/base/string_resource_win.h"
#include "comm/telephony/device.h"
#include "comm/telephony/device_win.h"
#include "comm/telephony/select_form_win.h"
#include "framework/application.h"
#include "framework/locale.h"

namespace capture {

namespace {

constexpr int kRightPanelWidth = 158;
constexpr int kMargin = 12;
constexpr int kHelpContentsContext = 4;
constexpr UINT kCheckCaptureSize = WM_APP + 0x15;

const char* const kRegisterModels[] = {"ER-600",   "ER-650",  "SPS-1000", "ER-52XX",
                                       "ER-52XXM", "ER-6500", "ER-7000",  "SPS-2000"};

void ShowError(const std::string& text) { fw::MessageDlg(text, fw::TMsgDlgType::mtError, fw::mbOK); }

}  // namespace

// The components as the connection flow drives them.
class TfrmCaptureMain::Devices : public ConnectionDevices {
 public:
  explicit Devices(TfrmCaptureMain& form) : form_(form) {}
  void PrepareLine() override {
    comm::TApdComPort& port = form_.Port();
    port.SetDataBits(8);
    port.SetParity(comm::TParity::pNone);
    port.SetStopBits(1);
    port.SetTapiMode(comm::TTapiMode::tmAuto);
  }
  void OpenDirect(int portNumber) override {
    form_.Port().SetComNumber(portNumber);
    form_.Port().SetOpen(true);
  }
  void CloseDirect() override { form_.Port().SetOpen(false); }
  void UseCallPort() override { form_.Port().SetComNumber(0); }
  void ActivateTerminal(bool active) override { form_.ApdTerminal1->SetActive(active); }
  void StartMonitoring() override { form_.ApdSLController1->SetMonitoring(true); }
  void Dial(const std::string& device, const std::string& number) override {
    // Received bytes of the call go to the journal as soon as the port opens on it.
    form_.ApdTerminal1->SetActive(true);
    form_.ApdTapiDevice1->SetSelectedDevice(device);
    form_.ApdTapiDevice1->Dial(number);
  }
  void CancelCall() override { form_.ApdTapiDevice1->CancelCall(); }
  void CancelCallWithin(std::uint32_t ms) override { form_.ApdTapiDevice1->CancelCallWithin(ms); }
  void SetTapiModeOff() override { form_.Port().SetTapiMode(comm::TTapiMode::tmOff); }

 private:
  TfrmCaptureMain& form_;
};

class TfrmCaptureMain::Notices : public UserNotices {
 public:
  void Information(const std::string& text) override {
    fw::MessageDlg(text, fw::TMsgDlgType::mtInformation, fw::mbOK);
  }
  void Error(const std::string& text) override { ShowError(text); }
};

class TfrmCaptureMain::Dates : public ShortDateSource {
 public:
  std::string TodayShortDate() override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return fw::ShortDateText(now);
  }
};

class TfrmCaptureMain::Files : public CaptureFileQuery {
 public:
  std::optional<std::uint64_t> SizeOf(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  }
  bool CanRead(const std::string& path) override {
    // Capture itself shares its file for reading and writing; anything
    // holding the file more tightly makes it unusable here.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
  }
};

class TfrmCaptureMain::Labels : public ConnectionView {
 public:
  explicit Labels(TfrmCaptureMain& form) : form_(form) {}
  void ShowStatus(const std::string& status) override { form_.lblCaptureStatus->SetText(status); }
  void ShowConnectCaption(const std::string& caption) override { form_.btnConnect->SetText(caption); }

 private:
  TfrmCaptureMain& form_;
};

fw::TMenuItem* TfrmCaptureMain::AddItem(fw::TMenuItem* parent, const char* caption, fw::TShortCut shortCut) {
  auto* item = new fw::TMenuItem(this);
  item->SetCaption(caption);
  if (shortCut != fw::scNone) item->SetShortCut(shortCut);
  parent->Add(item);
  return item;
}

TfrmCaptureMain::TfrmCaptureMain(fw::TComponent* owner, int buildVariant)
    : fw::TForm(owner), buildVariant_(buildVariant) {
  fw::FormLoading loading(*this);
  SetName("frmCaptureMain");
  SetCaption("Quorvane");
  SetPosition(fw::TPosition::poScreenCenter);
  // The window's outer size, as for the log viewer; the contents follow the
  // client area in FormResize.
  SetBounds(0, 0, 638, 448);

  MainMenu1 = new fw::TMainMenu(this);
  MainMenu1->SetName("MainMenu1");
  fw::TMenuItem* root = &MainMenu1->Items();
  mnuFile = AddItem(root, "&File");
  mnuFileNew = AddItem(mnuFile, "&New", fw::ShortCut('N', fw::ssCtrl));
  mnuFileOpen = AddItem(mnuFile, "&Open...", fw::ShortCut('O', fw::ssCtrl));
  mnuFileExit = AddItem(mnuFile, "E&xit");
  mnuView = AddItem(root, "&View");
  mnuViewLogs = AddItem(mnuView, "View &Logs...", fw::ShortCut('L', fw::ssCtrl));
  mnuConnection = AddItem(root, "&Connection");
  mnuConnect = AddItem(mnuConnection, "Connec&t", fw::ShortCut('T', fw::ssCtrl));
  mnuDisconnect = AddItem(mnuConnection, "&Disconnect", fw::ShortCut('D', fw::ssCtrl));
  mnuHelp = AddItem(root, "&Help");
  mnuHelpContents = AddItem(mnuHelp, "&Help Contents...");
  mnuHelpAbout = AddItem(mnuHelp, "&About...");
  SetMenu(MainMenu1);

  pnlRight = new fw::TPanel(this);
  pnlRight->SetName("pnlRight");
  pnlRight->SetParent(this);
  pnlRight->SetBounds(638 - kRightPanelWidth, 0, kRightPanelWidth, 448);
  pnlRight->SetAlign(fw::TAlign::alRight);
  pnlRight->SetBevelOuter(fw::TBevelCut::bvNone);
  pnlRight->SetText("");

  ApdComPort1 = new comm::ComPortComponent(this, comm::Win32Ports());
  ApdComPort1->SetName("ApdComPort1");
  comm::TApdComPort& port = Port();
  port.AutoOpen = false;
  port.SetBaud(9600);
  port.SetParity(comm::TParity::pOdd);
  port.SetDataBits(7);
  port.SetHWFlowOptions(comm::hwfUseRTS);
  port.SetBufferFull(256);
  port.SetBufferResume(200);
  port.TraceName = "CVL.TRC";
  port.SetLogSize(65500);
  port.LogName = "CVL.LOG";
  port.SetTapiMode(comm::TTapiMode::tmOn);

  // No lamp is bound: the controller only watches the port.
  ApdSLController1 = new comm::TApdSLController(this);
  ApdSLController1->SetName("ApdSLController1");
  ApdSLController1->SetComPort(ApdComPort1);

  ApdEmulator1 = new comm::TApdEmulator(this);
  ApdEmulator1->SetName("ApdEmulator1");
  ApdEmulator1->SetEmulatorType(etNone);
  ApdEmulator1->OnProcessChar = [this](fw::TComponent*, char c, TEmuCommand& command) {
    ApdEmulator1ProcessChar(c, command);
  };

  ApdTerminal1 = new comm::TApdTerminal(this);
  ApdTerminal1->SetName("ApdTerminal1");
  ApdTerminal1->SetParent(this);
  ApdTerminal1->SetBounds(kMargin, kMargin, 638 - kRightPanelWidth - kMargin, 448 - 2 * kMargin);
  ApdTerminal1->SetComPort(&port, ApdComPort1);
  ApdTerminal1->SetScrollBars(comm::ssVertical);
  ApdTerminal1->SetIntegralSize(comm::isNone);
  ApdTerminal1->SetEmulator(ApdEmulator1);
  ApdTerminal1->SetRows(200);
  ApdTerminal1->SetColumns(133);
  ApdTerminal1->SetPageHeight(150);
  ApdTerminal1->SetDisplayRows(28);
  ApdTerminal1->SetDisplayColumns(55);
  ApdTerminal1->SetCaptureFile("APD.CAP");
  ApdTerminal1->SetBlinkTime(550);
  ApdTerminal1->SetPersistentMark(true);
  ApdTerminal1->SetHalfDuplex(false);
  ApdTerminal1->Font().SetName("Courier");
  ApdTerminal1->Font().SetPitch(fw::TFontPitch::fpFixed);
  ApdTerminal1->Font().SetHeight(-12);
  ApdTerminal1->Font().SetColor(fw::clSilver);

  lblCaptureStatus = new fw::TLabel(this);
  lblCaptureStatus->SetName("lblCaptureStatus");
  lblCaptureStatus->SetParent(pnlRight);
  lblCaptureStatus->SetAutoSize(false);
  lblCaptureStatus->SetBounds(0, 10, kRightPanelWidth, 20);
  lblCaptureStatus->SetAlignment(fw::TAlignment::taCenter);
  lblCaptureStatus->Font().SetStyle(fw::fsBold);
  lblCaptureStatus->Font().SetColor(fw::clMaroon);
  lblCaptureStatus->Font().SetHeight(-15);
  lblCaptureStatus->SetText("DISCONNECTING");

  ApdStatusLight1 = new comm::TApdStatusLight(this);
  ApdStatusLight1->SetName("ApdStatusLight1");
  ApdStatusLight1->SetParent(pnlRight);
  ApdStatusLight1->SetBounds((kRightPanelWidth - 13) / 2, 30, 13, 13);
  ApdStatusLight1->SetLitColor(fw::clMaroon);
  ApdStatusLight1->SetLit(false);

  auto label = [this](const char* name, const char* caption, int top) {
    auto* result = new fw::TLabel(this);
    result->SetName(name);
    result->SetParent(pnlRight);
    result->SetBounds(kMargin, top, 120, 13);
    result->SetText(caption);
    return result;
  };
  const int width = kRightPanelWidth - 2 * kMargin;
  lblFileName = label("lblFileName", "File Name", 44);
  edtCaptureFile = new fw::TEdit(this);
  edtCaptureFile->SetName("edtCaptureFile");
  edtCaptureFile->SetParent(pnlRight);
  edtCaptureFile->SetBounds(kMargin, 60, width, 21);
  edtCaptureFile->SetReadOnly(true);

  cbxRegister = new fw::TComboBox(this);
  cbxRegister->SetName("cbxRegister");
  cbxRegister->SetParent(pnlRight);
  cbxRegister->SetBounds(kMargin, 88, width, 21);
  for (const char* model : kRegisterModels) cbxRegister->Items().Add(model);
  cbxRegister->SetVisible(false);

  lblComPort = label("lblComPort", "Com Port", 116);
  btnComPort = new fw::TButton(this);
  btnComPort->SetName("btnComPort");
  btnComPort->SetParent(pnlRight);
  btnComPort->SetBounds(kMargin, 132, width, 25);
  btnComPort->SetText(noDeviceName);

  lblPhone = label("lblPhone", "Phone #", 166);
  edtDialStr = new fw::TEdit(this);
  edtDialStr->SetName("edtDialStr");
  edtDialStr->SetParent(pnlRight);
  edtDialStr->SetBounds(kMargin, 182, width, 21);

  btnConnect = new fw::TButton(this);
  btnConnect->SetName("btnConnect");
  btnConnect->SetParent(pnlRight);
  btnConnect->SetBounds(kMargin, 214, width, 25);
  btnConnect->SetText(connectCaption);
  btnConnect->SetDefault(true);

  chkAutoConnect = new fw::TCheckBox(this);
  chkAutoConnect->SetName("chkAutoConnect");
  chkAutoConnect->SetParent(pnlRight);
  chkAutoConnect->SetBounds(kMargin, 248, width, 17);
  chkAutoConnect->SetText("Auto Connect");
  chkAutoConnect->SetHint(
      "With this option checked the software will attempt to automatically connect on startup of the "
      "application.");
  chkAutoConnect->SetShowHint(true);

  btnView = new fw::TButton(this);
  btnView->SetName("btnView");
  btnView->SetParent(pnlRight);
  btnView->SetBounds(kMargin, 448 - 57, width, 25);
  btnView->SetText("View &Logs");

  btnExit = new fw::TButton(this);
  btnExit->SetName("btnExit");
  btnExit->SetParent(pnlRight);
  btnExit->SetBounds(kMargin, 448 - 25, width, 21);
  btnExit->SetText("E&xit");

  Timer1 = new fw::TTimer(this);
  Timer1->SetName("Timer1");
  Timer1->SetInterval(120000);

  dlgOpen = new fw::TOpenDialog(this);
  dlgOpen->SetName("dlgOpen");
  dlgOpen->Filter = "Text File (*.txt)|*.txt|All Files|*.*";
  // Where the capture files are.
  dlgOpen->InitialDir = ProgramFolder(ProgramFilePath());

  // Finds the form's port by itself.
  auto* tapiDevice = new comm::SystemTapiDevice(this);
  tapiDevice->SetName("ApdTapiDevice1");
  // A selected line that is gone is chosen again from the lines present.
  tapiDevice->Host().chooseLine = comm::ChooseTapiLine;
  ApdTapiDevice1 = tapiDevice;
  ApdTapiDevice1->ShowTapiDevices = true;
  ApdTapiDevice1->ShowPorts = true;
  ApdTapiDevice1->SetEnableVoice(false);
  ApdTapiDevice1->OnTapiConnect = [this](comm::TApdCustomTapiDevice&) { ApdTapiDevice1TapiConnect(); };
  // The far end hanging up closes the port under the call.
  ApdTapiDevice1->OnTapiPortClose = [this](comm::TApdCustomTapiDevice&) { flow_->LineClosed(); };
  // A busy line after its retries, no answer, or a redial that could not be placed.
  ApdTapiDevice1->OnTapiFail = [this](comm::TApdCustomTapiDevice&) { flow_->CallFailed(); };
  // A line whose device has gone (an adapter pulled out) is reported, never left "COLLECTING".
  Port().SetOnLineFailure([this](comm::TApdComPort& port, std::uint32_t error) {
    const std::string name =
        port.ComNumber() > 0 ? "COM" + std::to_string(port.ComNumber()) : btnComPort->Text();
    flow_->LineFailed(name, comm::CleanSystemMessage(comm::SystemMessages().SystemMessage(error)));
  });

  devices_ = std::make_unique<Devices>(*this);
  notices_ = std::make_unique<Notices>();
  dates_ = std::make_unique<Dates>();
  files_ = std::make_unique<Files>();
  labels_ = std::make_unique<Labels>(*this);
  terminalCapture_ = std::make_unique<TerminalCapture>(*ApdTerminal1);
  session_ = std::make_unique<CaptureSession>(*terminalCapture_, *files_, *dates_, *notices_,
                                              ProgramFolder(ProgramFilePath()));
  session_->onFileNameChanged = [this](const std::string& name) { edtCaptureFile->SetText(name); };
  // Idle from here on, before anything of the creation can fail.
  flow_ = std::make_unique<ConnectionFlow>(*devices_, *labels_, *session_, *notices_);
  auto bind = [](fw::TNotifyEvent& event, auto handler) {
    event = [handler](fw::TComponent*) { handler(); };
  };
  bind(mnuFileNew->OnClick, [this] { mnuFileNewClick(); });
  bind(mnuFileOpen->OnClick, [this] { mnuFileOpenClick(); });
  bind(mnuFileExit->OnClick, [this] { Close(); });
  bind(mnuViewLogs->OnClick, [this] { btnViewClick(); });
  bind(mnuConnect->OnClick, [this] { flow_->MenuConnect(btnComPort->Text(), PhoneNumber()); });
  bind(mnuDisconnect->OnClick, [this] { flow_->MenuDisconnect(btnComPort->Text(), PhoneNumber()); });
  bind(mnuHelpContents->OnClick, [this] { mnuHelpContentsClick(); });
  bind(mnuHelpAbout->OnClick, [this] { mnuHelpAboutClick(); });
  bind(btnComPort->OnClick, [this] { btnComPortClick(); });
  bind(edtDialStr->OnExit, [this] { edtDialStrExit(); });
  bind(btnConnect->OnClick, [this] { btnConnectClick(); });
  bind(btnView->OnClick, [this] { btnViewClick(); });
  bind(btnExit->OnClick, [this] { Close(); });
  bind(Timer1->OnTimer, [this] { Timer1Timer(); });
  bind(pnlRight->OnResize, [this] { FormResize(); });
  bind(OnResize, [this] { FormResize(); });
  bind(OnCreate, [this] { FormCreate(); });
  OnClose = [this](fw::TComponent*, fw::TCloseAction& action) { FormClose(action); };
  loading.End();
}

TfrmCaptureMain::~TfrmCaptureMain() {
  // The line device and the port go before the windows they report to.
  if (ApdTapiDevice1) {
    ApdTapiDevice1->OnTapiPortClose = nullptr;
    ApdTapiDevice1->OnTapiFail = nullptr;
  }
  delete ApdTapiDevice1;
  ApdTapiDevice1 = nullptr;
}

void TfrmCaptureMain::WndProc(fw::TMessage& message) {
  if (message.Msg == kCheckCaptureSize) {
    fw::Guarded(this, [this] { session_->CheckSize(); });
    return;
  }
  if (message.Msg == WM_ENDSESSION) {
    if (message.WParam) EndSession();
    message.Result = 0;
    return;
  }
  fw::TForm::WndProc(message);
}

void TfrmCaptureMain::ShowDialColour() {
  edtDialStr->SetColor(IsDirectDevice(btnComPort->Text()) ? fw::clBtnFace : fw::clWindow);
}

void TfrmCaptureMain::FormCreate() {
  try {
    std::unique_ptr<TStRegIni> settings = OpenSettings(kMaintainSection, buildVariant_);
    std::string device = settings->ReadText(kCommPortKey, "");
    btnComPort->SetText(device.empty() ? noDeviceName : device);
    edtDialStr->SetText(settings->ReadText(kPhoneNumKey, ""));
    chkAutoConnect->SetChecked(settings->ReadFlag(kAutoConnectKey, false));
    if (buildVariant_ == 1) {
      cbxRegister->SetVisible(true);
      cbxRegister->SetItemIndex(settings->ReadNumber(kRegisterKey, 0));
    }
  } catch (const std::exception&) {
    fw::Application()->HandleException(this);
  }
  ShowDialColour();
  try {
    session_->NewCaptureFile();
  } catch (const std::exception&) {
    fw::Application()->HandleException(this);
  }
  ApdTerminal1->SetTabStop(false);
  if (chkAutoConnect->Checked() && btnComPort->Text() != noDeviceName) {
    btnConnect->SetText(connectCaption);
    btnConnectClick();
  }
}

void TfrmCaptureMain::FormClose(fw::TCloseAction&) {
  // Every step runs whatever the one before did: the window always closes.
  const std::string phone = PhoneNumber();
  flow_->Close(phone);
  try {
    SaveSettings(phone);
  } catch (const std::exception&) {
    fw::Application()->HandleException(this);
  }
}

void TfrmCaptureMain::EndSession() {
  // As Exit, but silent: Windows may end the process as soon as the message
  // returns, so everything is on disk by then and no box waits for an answer.
  const std::string phone = PhoneNumber();
  // The settings are kept before a hang-up, which may wait on the line.
  flow_->EndSession(phone, [this, &phone] { SaveSettings(phone); });
}

void TfrmCaptureMain::SaveSettings(const std::string& phone) {
  std::unique_ptr<TStRegIni> settings = OpenSettings(kMaintainSection, buildVariant_);
  settings->WriteText(kCommPortKey, btnComPort->Text());
  settings->WriteText(kPhoneNumKey, phone);
  if (buildVariant_ == 1) settings->WriteNumber(kRegisterKey, cbxRegister->ItemIndex());
  settings->WriteFlag(kAutoConnectKey, chkAutoConnect->Checked());
}

void TfrmCaptureMain::FormResize() {
  const int panelHeight = pnlRight->Height();
  btnExit->SetTop(panelHeight - 25);
  btnView->SetTop(panelHeight - 57);
  ApdTerminal1->SetBounds(kMargin, kMargin, std::max(ClientWidth() - kRightPanelWidth - kMargin, 0),
                          std::max(ClientHeight() - 2 * kMargin, 0));
}

void TfrmCaptureMain::Connect() { flow_->Connect(btnComPort->Text(), PhoneNumber()); }
void TfrmCaptureMain::Disconnect() { flow_->Disconnect(btnComPort->Text(), PhoneNumber()); }

void TfrmCaptureMain::btnConnectClick() { flow_->Toggle(btnComPort->Text(), PhoneNumber()); }

void TfrmCaptureMain::btnComPortClick() {
  if (!flow_->Idle()) {
    ShowError("You must disconnect before selecting new device");
    return;
  }
  std::string name = btnComPort->Text();
  if (SelectDevice(name)) btnComPort->SetText(name);
  ShowDialColour();
}

bool TfrmCaptureMain::SelectDevice(std::string& name) {
  comm::TDeviceSelectionForm dialog(nullptr);
  dialog.ShowTapiDevices = ApdTapiDevice1->ShowTapiDevices;
  dialog.ShowPorts = ApdTapiDevice1->ShowPorts;
  dialog.TapiMode = ApdTapiDevice1->ComPort() ? Port().TapiMode() : comm::TTapiMode::tmAuto;
  if (dialog.TapiMode == comm::TTapiMode::tmOff) {
    // The port chosen last time, not the line's port.
    dialog.ComNumber = static_cast<std::uint16_t>(DirectPortNumber(name).value_or(Port().ComNumber()));
  } else {
    dialog.DeviceName = ApdTapiDevice1->SelectedDevice();
  }
  if (dialog.ShowModal() != fw::mrOk) return false;
  if (dialog.TapiMode == comm::TTapiMode::tmOff) {
    Port().SetTapiMode(comm::TTapiMode::tmOff);
    Port().SetComNumber(dialog.ComNumber);
  } else {
    Port().SetTapiMode(dialog.TapiMode);
    ApdTapiDevice1->SetSelectedDevice(dialog.DeviceName);
  }
  name = dialog.DeviceName;
  return true;
}

void TfrmCaptureMain::edtDialStrExit() { PhoneNumber(); }

std::string TfrmCaptureMain::PhoneNumber() {
  // The field may still have the focus (a shortcut, closing the window), so
  // leaving it is no guarantee of a clean number: whoever reads it cleans it.
  const std::string clean = CleanPhoneNumber(edtDialStr->Text());
  if (clean != edtDialStr->Text()) edtDialStr->SetText(clean);
  return clean;
}

void TfrmCaptureMain::btnViewClick() {
  TfrmCaptureViewLogs viewer(nullptr);
  viewer.ShowModal();
}

void TfrmCaptureMain::mnuHelpContentsClick() { fw::Application()->HelpContext(kHelpContentsContext); }

void TfrmCaptureMain::mnuHelpAboutClick() {
  TfrmCaptureAbout about(nullptr);
  about.ShowModal();
}

void TfrmCaptureMain::mnuFileNewClick() { session_->FileNew(flow_->Idle()); }

void TfrmCaptureMain::mnuFileOpenClick() {
  if (!session_->MayOpen(flow_->Idle())) return;
  if (!dlgOpen->Execute()) return;
  session_->OpenChosen(dlgOpen->FileName);
}

void TfrmCaptureMain::Timer1Timer() { session_->TimerTick(); }

void TfrmCaptureMain::ApdEmulator1ProcessChar(char c, TEmuCommand& command) {
  FilterReceivedChar(ApdEmulator1, static_cast<std::uint8_t>(c), command);
  // A full file rolls over soon after the write that filled it, long before
  // the log viewer's limit, not only at the timer.
  if (session_->CountWritten(BytesWritten(command)) && !PostMessageA(Handle(), kCheckCaptureSize, 0, 0))
    session_->SizeCheckNotQueued();
}

void TfrmCaptureMain::ApdTapiDevice1TapiConnect() {
  flow_->CallConnected();
  edtCaptureFile->SetText(session_->FileName());
}

}  // namespace capture
