#pragma once
// Many scanners at once: a bounded pool of threads serves the ports, each
// port with its own copy of the settings and its own Dialogs
// (ThreadDialogsScope), so that no process-wide record is shared between them. Questions are answered Yes: the
// caller has the user's consent for all ports beforehand.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/init_settings_def.h"

namespace tavrik {

struct PortReport {
  std::string port;
  // The scanner that answered ("<kind> \"<name>\" (v.M.m)"), "-" when none did.
  std::string device = "-";
  // The scanner's model code and firmware word (major in the high byte), when one answered.
  std::uint8_t model = 0;
  std::uint16_t firmware = 0;
  bool ok = false;
  // The failure's text when not ok.
  std::string error;
  // Every message the port's run showed, in order.
  std::vector<std::string> messages;
  // A search: the speed the scanner answered at.
  std::uint32_t speed = 0;
};

// The most threads the commands below serve ports with, the calling one
// included: enough for a hub, few enough for a user's task limit.
inline constexpr std::size_t kMaxPortThreads = 16;

// Runs `serve` for every report on at most `max_threads` threads, the calling
// one among them; a thread that cannot be started leaves its share to the
// others. An exception out of `serve` fails that report with its text.
void ForEachPort(std::vector<PortReport>& reports, const std::function<void(PortReport&)>& serve,
                 std::size_t max_threads = kMaxPortThreads);

// Each port as a single save does it, after a probe for the device text; a
// port where no scanner answers the probe is not written.
std::vector<PortReport> SaveToPorts(const Settings& settings, const std::vector<std::string>& ports,
                                    std::uint32_t speed, std::uint32_t timeout);
std::vector<PortReport> ProbePorts(const std::vector<std::string>& ports, std::uint32_t speed, std::uint32_t timeout);
// Every speed of every port, as the single search tries them.
std::vector<PortReport> SearchPorts(const std::vector<std::string>& ports);

}  // namespace tavrik
