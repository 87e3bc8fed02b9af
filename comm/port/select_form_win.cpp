#include "comm/port/select_form_win.h"

#include <memory>
#include <string>

#include "comm/port/com_port_win.h"
#include "framework/application.h"

namespace comm {

namespace {

constexpr int kHighestPort = 50;
const char kItemPrefix[] = "COM";

}  // namespace

TComSelectForm::TComSelectForm(fw::TComponent* owner, std::function<bool(int)> portPresent)
    : fw::TForm(owner), portPresent_(portPresent ? std::move(portPresent) : std::function<bool(int)>(&PortPresent)) {
  fw::FormLoading loading(*this);
  SetName("ComSelectForm");
  SetCaption("Select Port");
  SetBorderStyle(fw::TFormBorderStyle::bsDialog);
  SetPosition(fw::TPosition::poScreenCenter);
  SetClientWidth(220);
  SetClientHeight(131);
  Bevel1 = new fw::TBevel(this);
  Bevel1->SetName("Bevel1");
  Bevel1->SetParent(this);
  Bevel1->SetBounds(8, 8, 204, 44);
  Label1 = new fw::TLabel(this);
  Label1->SetName("Label1");
  Label1->SetParent(this);
  Label1->SetCaption("The configured serial port is not valid.");
  Label1->SetBounds(14, 13, 192, 16);
  Label2 = new fw::TLabel(this);
  Label2->SetName("Label2");
  Label2->SetParent(this);
  Label2->SetCaption("Please choose another port.");
  Label2->SetBounds(14, 31, 192, 16);
  PortsComboBox = new fw::TComboBox(this);
  PortsComboBox->SetName("PortsComboBox");
  PortsComboBox->SetParent(this);
  PortsComboBox->SetBounds(8, 62, 204, 200);
  OkBtn = new fw::TButton(this);
  OkBtn->SetName("OkBtn");
  OkBtn->SetParent(this);
  OkBtn->SetCaption("OK");
  OkBtn->SetDefault(true);
  OkBtn->SetModalResult(fw::mrOk);
  OkBtn->SetBounds(40, 98, 80, 26);
  AbortBtn = new fw::TButton(this);
  AbortBtn->SetName("AbortBtn");
  AbortBtn->SetParent(this);
  AbortBtn->SetCaption("Cancel");
  AbortBtn->SetCancel(true);
  AbortBtn->SetModalResult(fw::mrAbort);
  AbortBtn->SetBounds(132, 98, 80, 26);
  OnCreate = [this](fw::TComponent*) { FormCreate(); };
  loading.End();
}

void TComSelectForm::FormCreate() {
  fw::Screen()->SetCursor(fw::crHourGlass);
  std::vector<std::string> items;
  for (int number = 1; number <= kHighestPort; ++number) {
    if (portPresent_(number)) items.push_back(kItemPrefix + std::to_string(number));
    fw::Application()->ProcessMessages();
  }
  fw::Screen()->SetCursor(fw::crDefault);
  PortsComboBox->Items().Assign(items);
  PortsComboBox->SetItemIndex(items.empty() ? -1 : 0);
}

int TComSelectForm::SelectedPortNumber() const {
  const int index = PortsComboBox->ItemIndex();
  if (index < 0 || index >= PortsComboBox->Items().Count()) return 0;
  const std::string item = PortsComboBox->Items()[index];
  int number = 0;
  for (std::size_t i = sizeof kItemPrefix - 1; i < item.size() && number <= kHighestPort; ++i) {
    if (item[i] < '0' || item[i] > '9') return 0;
    number = number * 10 + (item[i] - '0');
  }
  return number;
}

bool ChoosePortNumber(int& number) {
  std::unique_ptr<TComSelectForm> dialog(new TComSelectForm(fw::Application()));
  if (dialog->ShowModal() != fw::mrOk) return false;
  number = dialog->SelectedPortNumber();
  return number > 0;
}

}  // namespace comm
