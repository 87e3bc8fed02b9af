// The line application of a device: initialisation and shutdown, stale
// handles of ended processes, the device list and the voice check.
#include <algorithm>
#include <charconv>

#include "comm/base/error_codes.h"
#include "comm/telephony/binding.h"
#include "comm/telephony/device.h"
#include "comm/telephony/device_detail.h"
#include "comm/telephony/records.h"

namespace comm {

using device_detail::FlagScope;
using device_detail::kPumpSliceMs;
using device_detail::LineCallback;
using device_detail::Raise;
using device_detail::RaiseTapi;
using device_detail::RecordString;

namespace {

constexpr std::uint32_t kReinitWaitMs = 5000;
// lineInitialize failures other than re-initialisation and "no device" are
// tried this often before they are raised: a broken library must never keep
// the program from starting.
constexpr int kMaxInitAttempts = 3;
constexpr std::size_t kMaxAppNameLength = 255;

}  // namespace

void TApdCustomTapiDevice::ClearStaleHandles() {
  // Names first: deleting while enumerating would skip values.
  for (const std::string& name : host_.HandleValueNames()) {
    std::uint32_t processId = 0;
    const char* first = name.data() + 1;
    const char* last = name.data() + name.size();
    const bool isNumber = name.size() > 1 && name[0] == '$' &&
                          std::from_chars(first, last, processId, 16).ec == std::errc() &&
                          std::from_chars(first, last, processId, 16).ptr == last;
    if (!isNumber) {
      host_.DeleteHandleValue(name);
      continue;
    }
    if (processId == host_.CurrentProcessId() || host_.ProcessMayBeAlive(processId)) continue;
    if (const auto data = host_.ReadHandleValue(name)) {
      std::uint64_t handle = 0;
      const auto parsed = std::from_chars(data->data(), data->data() + data->size(), handle);
      if (parsed.ec == std::errc() && handle != 0) lineShutdown(static_cast<tapi::Handle>(handle));
    }
    host_.DeleteHandleValue(name);
  }
}

void TApdCustomTapiDevice::PumpFor(std::uint32_t ms) {
  const std::uint32_t start = host_.NowMs();
  for (std::uint32_t elapsed = 0; elapsed < ms; elapsed = host_.NowMs() - start)
    host_.PumpMessages(std::min(kPumpSliceMs, ms - elapsed));
}

void TApdCustomTapiDevice::InitLineApp() {
  if (appInitialised_ || initialising_) return;
  FlagScope initialising(initialising_);
  ClearStaleHandles();
  std::string appName = host_.ApplicationName().substr(0, kMaxAppNameLength);
  bool waitedForReinit = false;
  for (int failures = 0;;) {
    tapi::Handle app = 0;  // preset: a stub library may leave the outputs alone
    std::uint32_t devices = 0;
    const std::int32_t result =
        lineInitialize(&app, host_.ModuleInstance(), &LineCallback, appName.c_str(), &devices);
    if (result == 0) {
      lineApp_ = app;
      numDevices_ = devices;
      break;
    }
    if (result == codes::kTapiLoadFail || result == codes::kTapiGetAddrFail) {
      // No telephony on this machine: no lines, and nothing to initialise.
      numDevices_ = 0;
      return;
    }
    if (result == tapi::kErrReinit) {
      if (waitedForReinit) Raise(codes::kTapiReinit);
      waitedForReinit = true;
      PumpFor(kReinitWaitMs);
      continue;
    }
    if (result == tapi::kErrNoDevice) Raise(codes::kTapiNoDevice);
    if (++failures >= kMaxInitAttempts) RaiseTapi(result);
  }
  appInitialised_ = true;
  host_.WriteHandleValue(HandleValueName(host_.CurrentProcessId()), std::to_string(lineApp_));
  line_ = 0;
  call_ = 0;
}

void TApdCustomTapiDevice::ShutdownLineApp() {
  if (!appInitialised_ || shuttingDown_) return;
  FlagScope shuttingDown(shuttingDown_);
  HangUp(true);
  const std::int32_t result = lineShutdown(lineApp_);
  // Cleared whatever the result: a later use initialises afresh.
  lineApp_ = 0;
  appInitialised_ = false;
  host_.DeleteHandleValue(HandleValueName(host_.CurrentProcessId()));
  if (!destroying_) RaiseTapi(result);
}

void TApdCustomTapiDevice::SetSelectedDevice(const std::string& name) {
  selectedDevice_ = name;
  if (enableVoice_) CheckVoice();
}

void TApdCustomTapiDevice::SetEnableVoice(bool enable) {
  enableVoice_ = enable;
  if (enable && !selectedDevice_.empty()) CheckVoice();
}

namespace {

void COMM_TAPI_CALL IgnoreLineMessages(std::uintptr_t, std::uint32_t, std::uintptr_t, std::uintptr_t,
                                       std::uintptr_t, std::uintptr_t) {}

}  // namespace

void TApdCustomTapiDevice::CheckVoice() {
  // Through a line application of its own, shut down in every case.
  tapi::Handle app = 0;
  std::uint32_t devices = 0;
  bool voice = false;
  try {
    RaiseTapi(lineInitialize(&app, host_.ModuleInstance(), &IgnoreLineMessages, "", &devices));
    for (std::uint32_t device = 0; device < devices && !voice; ++device) {
      std::uint32_t version = 0;
      std::uint8_t extension[16];
      if (lineNegotiateAPIVersion(app, device, tapi::kApiVersion, tapi::kApiVersion, &version, extension) !=
          0)
        continue;
      const auto caps = GetDevCapsRecord(app, device, version, 0);
      RaiseTapi(caps.result);
      if (!caps.buffer || RecordString(*caps.buffer, tapi::devcaps::kLineNameSize,
                                       tapi::devcaps::kLineNameOffset) != selectedDevice_)
        continue;
      voice = (RecordField(*caps.buffer, tapi::devcaps::kMediaModes).value_or(0) &
               tapi::kMediaAutomatedVoice) != 0;
      break;
    }
  } catch (...) {
    voice = false;
  }
  if (app != 0) lineShutdown(app);
  enableVoice_ = voice;
  if (!voice) Raise(codes::kTapiVoiceNotSupported);
}

// ---- devices ------------------------------------------------------------------

bool TApdCustomTapiDevice::Negotiate(std::uint32_t device) {
  std::uint32_t version = 0;
  if (lineNegotiateAPIVersion(lineApp_, device, tapi::kApiVersion, tapi::kApiVersion, &version,
                              extensionId_) != 0)
    return false;
  apiVersion_ = version;
  return true;
}

void TApdCustomTapiDevice::ListDevices() {
  deviceNames_.clear();
  if (!appInitialised_) return;
  for (std::uint32_t device = 0; device < numDevices_; ++device) {
    if (!Negotiate(device)) continue;
    const auto caps = GetDevCapsRecord(lineApp_, device, apiVersion_, 0);
    if (caps.result != 0 || !caps.buffer) break;
    const std::string name =
        RecordString(*caps.buffer, tapi::devcaps::kLineNameSize, tapi::devcaps::kLineNameOffset);
    if (!name.empty()) deviceNames_.push_back(name);
  }
}

int TApdCustomTapiDevice::FindDeviceID(const std::string& name) {
  if (name.empty() || !appInitialised_) return -1;
  for (std::uint32_t device = 0; device < numDevices_; ++device) {
    if (!Negotiate(device)) continue;
    const auto caps = GetDevCapsRecord(lineApp_, device, apiVersion_, 0);
    RaiseTapi(caps.result);
    if (!caps.buffer) continue;
    if (RecordString(*caps.buffer, tapi::devcaps::kLineNameSize, tapi::devcaps::kLineNameOffset) == name)
      return static_cast<int>(device);
  }
  return -1;
}

int TApdCustomTapiDevice::SelectDeviceID() {
  int device = FindDeviceID(selectedDevice_);
  if (device != -1) return device;
  if (numDevices_ == 1 && selectedDevice_.empty() && Negotiate(0)) {
    if (deviceNames_.empty()) ListDevices();
    if (!deviceNames_.empty()) SetSelectedDevice(deviceNames_.front());
    return 0;
  }
  // Without any line the dialog would offer nothing.
  if ((!ShowPorts && !ShowTapiDevices) || numDevices_ == 0) Raise(codes::kTapiNoSelect);
  const auto chosen = host_.ChooseLine(selectedDevice_);
  if (!chosen || chosen->empty()) Raise(codes::kTapiNoSelect);
  selectedDevice_ = *chosen;
  device = FindDeviceID(selectedDevice_);
  if (device == -1) Raise(codes::kTapiNoSelect);
  return device;
}

}  // namespace comm
