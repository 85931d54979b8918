// save, probe and search on many ports at once: one line per port on stdout,
// "PORT<TAB>DEVICE<TAB>ok" or the failure's text; status 1 when any port failed.

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/JsonText.h"
#include "device/ScannerInterface.h"
#include "tools/cli/CliArgs.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Fleet.h"
#include "tools/cli/SettingsSource.h"
#include "transfers/ConnectionParams.h"

namespace tavrik {
namespace {

// A variable naming a folder; unset or empty is the default.
std::string FolderVariable(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

// What a port name opens: the device of a device node (any name that leads to
// it, through links or extra slashes), the file of anything else, and the
// name itself, tidied, when nothing is there.
std::string PortIdentity(const std::string& port) {
  struct stat st {};
  if (::stat(port.c_str(), &st) != 0) return "name " + std::filesystem::path(port).lexically_normal().string();
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "device " + std::to_string(st.st_rdev);
  return "file " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

// Every port once: the scanner would be written once and its other names
// would fail as busy.
void RefuseSamePortTwice(const std::vector<std::string>& ports) {
  std::map<std::string, const std::string*> seen;
  for (const std::string& port : ports) {
    const auto [it, added] = seen.emplace(PortIdentity(port), &port);
    if (added) continue;
    if (*it->second == port) throw CliUsageError{"порт " + EscapedName(port) + " задан дважды"};
    throw CliUsageError{"порт " + EscapedName(port) + " задан дважды: это тот же порт, что и " +
                        EscapedName(*it->second)};
  }
}

}  // namespace

std::vector<std::string> AllPorts() {
  return EnumSerialPorts(FolderVariable("TAVRIK_TTY_CLASS_DIR", "/sys/class/tty"),
                         FolderVariable("TAVRIK_DEV_DIR", "/dev"));
}

namespace {

// The ports of --all or of the --port options, each once.
std::vector<std::string> Ports(const CliArgs& args) {
  std::vector<std::string> ports;
  if (args.Has("--all")) {
    if (args.Has("--port")) throw CliUsageError{"--all и --port вместе не задаются"};
    ports = AllPorts();
  } else {
    ports = args.All("--port");
    if (ports.empty()) throw CliUsageError{"не задан параметр --port"};
  }
  RefuseSamePortTwice(ports);
  return ports;
}

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\t') c = ' ';
  }
  return text;
}

// The messages of each port on stderr, then one line per port on stdout.
int Report(const std::vector<PortReport>& reports, bool with_speed) {
  for (const PortReport& r : reports) {
    for (const std::string& message : r.messages)
      std::fprintf(stderr, "%s: %s\n", EscapedName(r.port).c_str(), OneLine(message).c_str());
  }
  bool all_ok = !reports.empty();
  for (const PortReport& r : reports) {
    std::string port = EscapedName(r.port);
    if (with_speed && r.ok) port += " " + std::to_string(r.speed);
    std::printf("%s\t%s\t%s\n", port.c_str(), OneLine(r.device).c_str(), r.ok ? "ok" : OneLine(r.error).c_str());
    all_ok = all_ok && r.ok;
  }
  if (reports.empty()) std::fprintf(stderr, "COM-порты не найдены\n");
  std::fflush(stdout);
  return all_ok ? kCliOk : kCliFailed;
}

// One array, an object per port: a scanner's model code, firmware and text,
// or the failure's text as `msg`.
int ReportJson(const std::vector<PortReport>& reports) {
  bool all_ok = true;
  std::printf("[");
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const PortReport& r = reports[i];
    std::printf("%s\n  {\"port\": %s, \"ok\": %s", i ? "," : "", JsonString(r.port).c_str(), r.ok ? "true" : "false");
    if (r.ok) {
      std::printf(", \"model\": %u, \"firmware\": %s, \"device\": %s}", r.model,
                  JsonString(VersionText(r.firmware)).c_str(), JsonString(r.device).c_str());
    } else {
      std::printf(", \"msg\": %s}", JsonString(r.error).c_str());
    }
    all_ok = all_ok && r.ok;
  }
  std::printf("\n]\n");
  std::fflush(stdout);
  return all_ok ? kCliOk : kCliFailed;
}

}  // namespace

bool ManyPorts(const CliArgs& args) { return args.Has("--all") || args.All("--port").size() > 1; }

int SaveManyCommand(const CliArgs& args) {
  const std::vector<std::string> ports = Ports(args);
  // Many ports would ask the same questions many times over: the answer is given once, beforehand.
  if (!args.Has("--yes")) throw CliUsageError{"сохранение в несколько устройств только с --yes"};
  if (args.plain.size() != 1) throw CliUsageError{"нужен один файл настроек"};
  const std::uint32_t speed = CliSpeedOption(args);
  const std::uint32_t timeout = CliTimeoutOption(args);
  const std::optional<Source> source = LoadSource({args.plain[0], 0});
  if (!source) return kCliFailed;
  return Report(SaveToPorts(source->settings, ports, speed, timeout), false);
}

int ProbeManyCommand(const CliArgs& args) {
  const std::vector<std::string> ports = Ports(args);
  const std::vector<PortReport> reports = ProbePorts(ports, CliSpeedOption(args), CliTimeoutOption(args));
  return args.Has("--json") ? ReportJson(reports) : Report(reports, false);
}

int SearchManyCommand(const CliArgs& args) { return Report(SearchPorts(Ports(args)), true); }

}  // namespace tavrik
