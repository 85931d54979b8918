// doctor: why each port does or does not reach a scanner, one block per port
// (or one JSON object per port, in an array); status 1 when any port is unfit.

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "tools/cli/CliArgs.h"
#include "tools/cli/Commands.h"
#include "transfers/ConnectionParams.h"
#include "transfers/PortDoctor.h"

namespace tavrik {
namespace {

constexpr const char* kNoPortsText =
    "Последовательных портов нет. Сканер, подключённый по USB в режиме клавиатуры (HID),\n"
    "порта не даёт: переключите его в режим USB CDC (виртуальный COM-порт) штрихкодом\n"
    "из руководства и подключите снова.\n";

std::string Env(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

// This machine, or the trees the variables name (tests, containers).
DoctorHost HostOfEnvironment() {
  DoctorHost host;
  host.sysfs_root = Env("TAVRIK_SYSFS_DIR", "/sys");
  host.udev_data_root = Env("TAVRIK_UDEV_DATA_DIR", "/run/udev/data");
  host.dev_root = Env("TAVRIK_DEV_DIR", "/dev");
  return host;
}

}  // namespace

int DoctorCommand(const CliArgs& args) {
  std::vector<std::string> ports = args.All("--port");
  std::set<std::string> seen;
  for (const std::string& port : ports) {
    if (!seen.insert(port).second) throw CliUsageError{"порт " + port + " задан дважды"};
  }
  const std::uint32_t speed = CliSpeedOption(args);
  const bool json = args.Has("--json");
  if (ports.empty()) ports = AllPorts();
  if (ports.empty()) {
    if (json) std::printf("[]\n");
    std::fputs(kNoPortsText, json ? stderr : stdout);
    return kCliFailed;
  }
  const DoctorHost host = HostOfEnvironment();
  bool all_fit = true;
  if (json) std::printf("[\n");
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const PortDiagnosis diagnosis = DiagnosePort(ports[i], speed, ConnectionParamsT{}.timeout, host);
    all_fit = all_fit && diagnosis.Fit();
    if (json) {
      std::printf("%s%s\n", DiagnosisJson(diagnosis).c_str(), i + 1 < ports.size() ? "," : "");
    } else {
      std::printf("%s%s", i > 0 ? "\n" : "", DiagnosisText(diagnosis).c_str());
    }
    std::fflush(stdout);
  }
  if (json) std::printf("]\n");
  return all_fit ? kCliOk : kCliFailed;
}

}  // namespace tavrik
