#pragma once
// Why a port does not reach the scanner, and what fixes it: the checks of
// `tavrik-cli doctor` and of the window's port diagnosis. Every check only
// looks; nothing on the system is changed and nothing needs root. The probe
// at the end is the one thing that talks to the port, and only when the
// checks before it leave the port free and open to the user.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/ScannerInterface.h"
#include "device/UdevRule.h"

namespace tavrik {

// Who runs the check: the user's name and group ids, once as this session
// has them and once as the group database has them now (what the next login
// will give).
struct HostUser {
  std::string name;
  std::vector<std::uint32_t> session_groups;
  std::vector<std::uint32_t> login_groups;
};

// Where the checks look. The defaults are this machine; tests give trees of
// their own and stand in for the access check and the user.
struct DoctorHost {
  std::string proc_root = "/proc";
  std::string sysfs_root = "/sys";
  std::string udev_data_root = "/run/udev/data";
  std::string dev_root = "/dev";
  // Whether the user may open `path` for reading and writing; null: the
  // system's access check for the effective user.
  std::function<bool(const std::string& path)> can_open;
  // Null: the user of this process.
  std::function<HostUser()> user;
};

// The user of this process.
HostUser CurrentHostUser();

enum class CheckResult {
  ok,
  warning,         // works, but a known trouble is waiting (the modem manager's probes)
  failed,
  skipped,         // an earlier check failed, so this one could not run
  not_applicable,  // nothing to check here (a port without USB, no stable name)
};

// One line of the report and the steps that fix what it found.
struct DoctorCheck {
  CheckResult result = CheckResult::skipped;
  std::string text;
  std::vector<std::string> fixes;
};

struct PortHolder {
  int pid = 0;
  std::string program;
};

// What the checks found on one port; the text and JSON forms are built from it.
struct PortDiagnosis {
  std::string port;
  std::uint32_t speed = 0;

  // 1. The path: "terminal", "character_device", "regular_file", "directory", "missing", "other".
  std::string kind;
  DoctorCheck node;

  // 2. Opening for reading and writing.
  bool can_open = false;
  std::string user;
  std::string owner;
  std::string group;
  std::uint32_t mode = 0;     // permission bits
  bool in_group = false;      // in this session
  bool in_group_after_login = false;
  DoctorCheck access;

  // 3. Other processes that hold it open.
  std::vector<PortHolder> holders;
  int hidden_processes = 0;   // whose descriptors the user may not see
  DoctorCheck holding;

  // 4. USB.
  std::optional<UsbPortIdentity> usb;
  bool modem_manager_running = false;
  std::optional<bool> modem_manager_ignores;  // unknown without a udev record
  DoctorCheck usb_check;

  // 5. Names that do not move after a replug.
  std::vector<std::string> stable_names;
  DoctorCheck stable_name;

  // 6. A scanner at `speed`.
  bool answered = false;
  DeviceInfo info;
  DoctorCheck scanner;

  // Fit for use: no check failed or had to be skipped.
  bool Fit() const;
};

// Runs every check on `port`; the probe uses `speed` and `timeout_ms`.
PortDiagnosis DiagnosePort(const std::string& port, std::uint32_t speed, std::uint32_t timeout_ms,
                           const DoctorHost& host = {});

// The report of one port: its name, one line per check in order with the
// fixes below it, and the verdict.
std::string DiagnosisText(const PortDiagnosis& diagnosis);
// One JSON object with the same checks as fields.
std::string DiagnosisJson(const PortDiagnosis& diagnosis);

}  // namespace tavrik
