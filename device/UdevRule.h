#pragma once
// A udev rule for the USB device behind a serial port: the modem manager
// leaves it alone, the dialout group may use it, and it gets a link under
// /dev that stays the same whichever ttyACM number it is given.

#include <optional>
#include <string>

namespace tavrik {

// What sysfs tells of the USB device that owns a tty.
struct UsbPortIdentity {
  std::string tty;         // "ttyACM0"
  std::string vendor_id;   // four hexadecimal digits, as sysfs writes them
  std::string product_id;
  std::string serial;      // empty when the device reports none
  std::string manufacturer;
  std::string product;
};

struct UsbIdentityResult {
  std::optional<UsbPortIdentity> identity;
  std::string error;  // the message when there is no identity
};

// The USB device behind `port` (a device file, links such as
// /dev/serial/by-id/... followed), looked up under `sysfs_root`.
UsbIdentityResult UsbIdentityOfPort(const std::string& port, const std::string& sysfs_root = "/sys");

// The name of the stable link under /dev: "tavrik-" and the serial number,
// or the vendor and product numbers when there is none, with every character
// that is unsafe in a file name replaced by '_'.
std::string StableLinkName(const UsbPortIdentity& identity);

// What loads a new rule and applies it to the ports already there.
inline constexpr const char* kUdevReloadCommand =
    "sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=tty";

// Where the rule goes: /etc/udev/rules.d/70-<link name>.rules, early enough
// for the modem manager's own rules to see it.
std::string UdevRuleFile(const UsbPortIdentity& identity);

// The rule file's text: comments saying where it goes and how to load it,
// and one rule line.
std::string UdevRuleText(const UsbPortIdentity& identity);

}  // namespace tavrik
