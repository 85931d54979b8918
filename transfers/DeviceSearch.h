#pragma once
// The connection check, the device search and the speed change, free of widgets.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/ScannerInterface.h"

namespace tavrik {


// One question to the scanner: open, ask for its information, close. A port
// that cannot be opened is reported through HandleException and counts as no answer.
bool ProbeDevice(const std::string& port, std::uint32_t speed, std::uint32_t timeout, DeviceInfo* info);

// The device field's text after a check: "<kind> \"<name>\" (v.M.m)" or "Устройство не обнаружено".
std::string CheckText(bool found, const DeviceInfo& info);
// The connection check with the port and speed of ConnectionParams; a scanner
// that answers becomes the device identity. Returns the text to show.
struct CheckOutcome {
  bool found = false;
  DeviceInfo info;
  std::string text;
};
CheckOutcome CheckConnection();

struct SearchOutcome {
  bool found = false;
  std::string port;
  std::uint32_t speed = 0;
  int speed_index = -1;
  DeviceInfo info;
  // "Найден  <kind> \"<name>\"(v.M.m)" or "Устройство не обнаружено".
  std::string text;
};
// Every port of `ports` at every speed, 2400 first, 100 ms each, until a
// scanner answers. `progress` gets "Поиск на <port> (<speed>)..." before each
// probe. ConnectionParams ends with the port and speed of the last probe and
// the search's time-out. The device identity is not stored.
SearchOutcome SearchDevice(const std::vector<std::string>& ports,
                           const std::function<void(const std::string&)>& progress = {});
// The same search on one port, touching no process-wide record (threads may
// search a port each).
SearchOutcome SearchPort(const std::string& port, const std::function<void(const std::string&)>& progress = {});

// Moves the scanner from the speed `old_speed` to SpeedTable[new_index] on the
// port of ConnectionParams and shows a failure's text.
struct SpeedOutcome {
  bool ok = false;
  // The port's speed after the attempt (what the speed list shows), 0 when the
  // port could not be opened.
  std::uint32_t port_speed = 0;
};
SpeedOutcome ApplySpeed(std::uint32_t old_speed, std::uint8_t new_index);

}  // namespace tavrik
