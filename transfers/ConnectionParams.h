#pragma once
// The connection every device action uses, and the serial ports of this machine.

#include <cstdint>
#include <string>
#include <vector>

namespace tavrik {

struct ConnectionParamsT {
  std::string port;             // a path such as /dev/ttyACM0
  std::uint32_t speed = 9600;   // one of SpeedTable
  std::uint32_t timeout = 1000; // ms, 100..300000
};
inline constexpr std::uint32_t kMinTimeout = 100;
inline constexpr std::uint32_t kMaxTimeout = 300000;
// The search probes with this time-out.
inline constexpr std::uint32_t kSearchTimeout = 100;

// The one record of the process, held in memory only.
ConnectionParamsT& ConnectionParams();
void ResetConnectionParams();

// "ttyACM2" before "ttyACM10": digit runs compare by value.
bool NaturalLess(const std::string& a, const std::string& b);

// The serial ports: entries of the tty class that belong to a device (a
// `device` link) and have a character device node; legacy ttyS ports that
// report no UART (type 0) are left out. Paths under `dev_root`, naturally
// sorted, no duplicates. The roots are parameters so tests can use a fake tree.
std::vector<std::string> EnumSerialPorts(const std::string& sysfs_tty_root = "/sys/class/tty",
                                         const std::string& dev_root = "/dev");

}  // namespace tavrik
