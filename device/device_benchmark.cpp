// What a device action costs over a pty: one transaction, the settings image,
// and a transaction with a dead line (about three time-outs).

#include <benchmark/benchmark.h>

#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"

namespace tavrik {
namespace {

struct Link {
  explicit Link(std::uint32_t timeout_ms) : scanner(&port) {
    OpenDevice(&port, emulator.PortPath(), 9600, timeout_ms);
  }
  ScannerEmulator emulator;
  CComDevice port;
  CScannerInterface scanner;
};

void BM_DeviceInfoTransaction(benchmark::State& state) {
  Link link(1000);
  DeviceInfo info;
  for (auto _ : state) {
    if (link.scanner.GetDeviceInfo(&info) != CScannerInterface::no_error) state.SkipWithError("no answer");
    link.emulator.ClearRequests();
  }
}
BENCHMARK(BM_DeviceInfoTransaction)->Unit(benchmark::kMicrosecond);

void BM_ReadSettingsImage(benchmark::State& state) {
  Link link(1000);
  std::uint8_t image[268];
  for (auto _ : state) {
    if (link.scanner.ReadMemory(SETTINGS_ADDRESS, image, sizeof image) != CScannerInterface::no_error)
      state.SkipWithError("no answer");
    link.emulator.ClearRequests();
  }
}
BENCHMARK(BM_ReadSettingsImage)->Unit(benchmark::kMicrosecond);

void BM_DeadLineTransaction(benchmark::State& state) {
  Link link(static_cast<std::uint32_t>(state.range(0)));
  link.emulator.AddFault({FaultKind::silence});
  DeviceInfo info;
  for (auto _ : state) {
    if (link.scanner.GetDeviceInfo(&info) != CScannerInterface::no_connection) state.SkipWithError("answered");
  }
}
BENCHMARK(BM_DeadLineTransaction)->Arg(100)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavrik

BENCHMARK_MAIN();
