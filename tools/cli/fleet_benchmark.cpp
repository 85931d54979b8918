// A save to many scanners at once against a save to one: the ports are served
// in parallel, so eight should take little longer than one, and a hub of 32
// (twice the pool) about twice as long as eight. Emulated scanners
// on real ptys, each answering from a thread of its own.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "device/testing/ScannerEmulator.h"
#include "settings/init_settings_def.h"
#include "tools/cli/Fleet.h"

namespace tavrik {
namespace {

void BM_SaveToPorts(benchmark::State& state) {
  std::vector<std::unique_ptr<ScannerEmulator>> scanners;
  std::vector<std::string> ports;
  for (int i = 0; i < state.range(0); ++i) {
    scanners.push_back(std::make_unique<ScannerEmulator>());
    ports.push_back(scanners.back()->PortPath());
  }
  Settings settings{};
  LoadDefaults(settings);
  for (auto _ : state) {
    for (const PortReport& r : SaveToPorts(settings, ports, 9600, 1000)) {
      if (!r.ok) state.SkipWithError((r.port + ": " + r.error).c_str());
    }
    for (auto& s : scanners) s->ClearRequests();
  }
}
BENCHMARK(BM_SaveToPorts)->Arg(1)->Arg(8)->Arg(32)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavrik

BENCHMARK_MAIN();
