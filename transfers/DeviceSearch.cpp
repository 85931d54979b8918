#include "transfers/DeviceSearch.h"

#include <cstdio>

#include "core/Dialogs.h"
#include "device/ComDevice.h"
#include "settings/init_settings_def.h"
#include "transfers/ConnectionParams.h"
#include "transfers/ExceptionReport.h"

namespace tavrik {

bool ProbeDevice(const std::string& port, std::uint32_t speed, std::uint32_t timeout, DeviceInfo* info) {
  try {
    CComDevice device;
    OpenDevice(&device, port, speed, timeout);
    CScannerInterface scanner(&device);
    return scanner.GetDeviceInfo(info, false) == CScannerInterface::no_error;
  } catch (...) {
    HandleException(show_exception_mode);
    return false;
  }
}

std::string CheckText(bool found, const DeviceInfo& info) {
  if (!found) return kNotFoundText;
  return ModelText(info.model, false) + " (v." + VersionText(info.firmware_version) + ")";
}

CheckOutcome CheckConnection() {
  CheckOutcome outcome;
  const ConnectionParamsT& params = ConnectionParams();
  outcome.found = ProbeDevice(params.port, params.speed, params.timeout, &outcome.info);
  if (outcome.found) {
    SetCurrentModel(outcome.info.model);
    SetCurrentFirmwareVersion(outcome.info.firmware_version);
  }
  outcome.text = CheckText(outcome.found, outcome.info);
  return outcome;
}

SearchOutcome SearchPort(const std::string& port, const std::function<void(const std::string&)>& progress) {
  SearchOutcome outcome;
  for (int index = 0; index < speeds_size; ++index) {
    const std::uint32_t speed = SpeedTable[index];
    if (progress) {
      char text[512];
      std::snprintf(text, sizeof text, kSearchProgressFormat, port.c_str(), static_cast<unsigned long>(speed));
      progress(text);
    }
    if (ProbeDevice(port, speed, kSearchTimeout, &outcome.info)) {
      outcome.found = true;
      outcome.port = port;
      outcome.speed = speed;
      outcome.speed_index = index;
      outcome.text = std::string(kFoundText) + " " + ModelText(outcome.info.model, false) + "(v." +
                     VersionText(outcome.info.firmware_version) + ")";
      return outcome;
    }
  }
  outcome.text = kNotFoundText;
  return outcome;
}

SearchOutcome SearchDevice(const std::vector<std::string>& ports,
                           const std::function<void(const std::string&)>& progress) {
  ConnectionParamsT& params = ConnectionParams();
  params.timeout = kSearchTimeout;
  for (const std::string& port : ports) {
    const SearchOutcome outcome = SearchPort(port, progress);
    params.port = port;
    params.speed = outcome.found ? outcome.speed : SpeedTable[speeds_size - 1];
    if (outcome.found) return outcome;
  }
  SearchOutcome outcome;
  outcome.text = kNotFoundText;
  return outcome;
}

namespace {

std::uint32_t PortSpeedOrZero(const CComDevice& device) {
  try {
    return device.IsOpen() ? device.GetSpeed() : 0;
  } catch (...) {
    return 0;
  }
}

}  // namespace

SpeedOutcome ApplySpeed(std::uint32_t old_speed, std::uint8_t new_index) {
  const ConnectionParamsT& params = ConnectionParams();
  SpeedOutcome outcome;
  CComDevice device;
  try {
    OpenDevice(&device, params.port, old_speed, params.timeout);
    CScannerInterface scanner(&device);
    ChangeSpeed(scanner, new_index, false);
    outcome.ok = true;
    outcome.port_speed = device.GetSpeed();
  } catch (...) {
    // A line that hangs up during the change fails here as well, also when
    // its speed is read back.
    outcome.ok = false;
    ShowFailure(CurrentExceptionText());
    outcome.port_speed = PortSpeedOrZero(device);
  }
  return outcome;
}

}  // namespace tavrik
