#include "comm/telephony/select_form_win.h"

#include <windows.h>

#include "comm/port/com_port_win.h"
#include "comm/telephony/device_list.h"
#include "framework/application.h"

namespace comm {

TDeviceSelectionForm::TDeviceSelectionForm(fw::TComponent* owner) : fw::TForm(owner) {
  fw::FormLoading loading(*this);
  SetCaption("Device Selection");
  SetBorderStyle(fw::TFormBorderStyle::bsDialog);
  SetPosition(fw::TPosition::poScreenCenter);
  SetClientWidth(300);
  SetClientHeight(88);
  dsfComboBox = new fw::TComboBox(this);
  dsfComboBox->SetName("dsfComboBox");
  dsfComboBox->SetParent(this);
  dsfComboBox->SetBounds(12, 14, 276, 200);
  dsfOkBitBtn = new fw::TButton(this);
  dsfOkBitBtn->SetName("dsfOkBitBtn");
  dsfOkBitBtn->SetParent(this);
  dsfOkBitBtn->SetCaption("OK");
  dsfOkBitBtn->SetDefault(true);
  dsfOkBitBtn->SetModalResult(fw::mrOk);
  dsfOkBitBtn->SetBounds(120, 52, 80, 26);
  dsfCancelBitBtn = new fw::TButton(this);
  dsfCancelBitBtn->SetName("dsfCancelBitBtn");
  dsfCancelBitBtn->SetParent(this);
  dsfCancelBitBtn->SetCaption("Cancel");
  dsfCancelBitBtn->SetCancel(true);
  dsfCancelBitBtn->SetModalResult(fw::mrCancel);
  dsfCancelBitBtn->SetBounds(208, 52, 80, 26);
  listLines = [] { return ListTapiLineNames(GetModuleHandleA(nullptr)); };
  portPresent = &PortPresent;
  OnShow = [this](fw::TComponent*) { FormShow(); };
  dsfOkBitBtn->OnClick = [this](fw::TComponent*) { OkClick(); };
  loading.End();
}

void TDeviceSelectionForm::FormShow() {
  if (filled_) return;  // later shows keep list and selection
  fw::Screen()->SetCursor(fw::crHourGlass);
  try {
    deviceList_ = BuildDeviceItems(ShowTapiDevices, ShowPorts,
                                   ShowTapiDevices ? listLines() : std::vector<std::string>{}, portPresent,
                                   [] { fw::Application()->ProcessMessages(); });
  } catch (...) {
    fw::Screen()->SetCursor(fw::crDefault);
    throw;
  }
  fw::Screen()->SetCursor(fw::crDefault);
  dsfComboBox->Items().Assign(deviceList_);
  const auto selected = InitialSelection(deviceList_, TapiMode, ComNumber, DeviceName);
  dsfComboBox->SetItemIndex(selected ? static_cast<int>(*selected) : -1);
  filled_ = true;
}

void TDeviceSelectionForm::OkClick() {
  const int index = dsfComboBox->ItemIndex();
  if (index < 0 || index >= dsfComboBox->Items().Count()) {
    // Nothing to choose: the same as Cancel.
    SetModalResult(fw::mrCancel);
    return;
  }
  const DeviceChoice choice = ChoiceOf(dsfComboBox->Items()[index]);
  DeviceName = choice.deviceName;
  TapiMode = choice.mode;
  ComNumber = choice.comNumber;
}

std::optional<std::string> ChooseTapiLine(const std::string& current) {
  TDeviceSelectionForm dialog(fw::Application());
  dialog.ShowTapiDevices = true;
  dialog.ShowPorts = false;
  dialog.DeviceName = current;
  if (dialog.ShowModal() != fw::mrOk) return std::nullopt;
  return dialog.DeviceName;
}

}  // namespace comm
