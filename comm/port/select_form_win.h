// The port selection dialog a port shows when it is opened without a port
// number: it lists the serial ports present among COM1 to COM50.
#pragma once

#include <functional>

#include "framework/extctrls.h"
#include "framework/form.h"
#include "framework/stdctrls.h"

namespace comm {

class TComSelectForm : public fw::TForm {
 public:
  // `portPresent` answers whether port N exists (PortPresent by default).
  explicit TComSelectForm(fw::TComponent* owner, std::function<bool(int)> portPresent = {});

  fw::TBevel* Bevel1;
  fw::TLabel* Label1;
  fw::TLabel* Label2;
  fw::TComboBox* PortsComboBox;
  fw::TButton* OkBtn;
  fw::TButton* AbortBtn;

  // The number of the selected item; 0 when nothing is selected.
  int SelectedPortNumber() const;

 private:
  void FormCreate();
  std::function<bool(int)> portPresent_;
};

// Shows the dialog modally; true with the chosen number after OK.
bool ChoosePortNumber(int& number);

}  // namespace comm
