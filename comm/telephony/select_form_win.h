// The device selection dialog: lists the telephony lines and the serial
// ports present and returns the user's choice.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comm/telephony/device.h"
#include "framework/form.h"
#include "framework/stdctrls.h"

namespace comm {

class TDeviceSelectionForm : public fw::TForm {
 public:
  explicit TDeviceSelectionForm(fw::TComponent* owner);

  fw::TComboBox* dsfComboBox;
  fw::TButton* dsfOkBitBtn;
  fw::TButton* dsfCancelBitBtn;

  // In: what to preselect and what to list. Out (after OK): the choice.
  std::string DeviceName;
  TTapiMode TapiMode = TTapiMode::tmAuto;
  std::uint16_t ComNumber = 0;
  bool ShowTapiDevices = false;
  bool ShowPorts = false;

  // Where the items come from (the telephony library and port probes by
  // default; tests replace them).
  std::function<std::vector<std::string>()> listLines;
  std::function<bool(int)> portPresent;

 private:
  void FormShow();
  void OkClick();
  bool filled_ = false;
  std::vector<std::string> deviceList_;
};

// The dialog as the line device offers it: lines only, `current`
// preselected; the chosen name, or nothing when cancelled.
std::optional<std::string> ChooseTapiLine(const std::string& current);

}  // namespace comm
