// What the settings page costs the user-interface thread: a preview rebuild
// (one zoom step, a page switch to the page) and the page's load.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "core/ScriptedDialogs.h"
#include "pages/SettingsPage.h"
#include "pages/test_parent.h"
#include "settings/init_settings_def.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "settings-page-benchmark";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

struct PlacedPage {
  PlacedPage() {
    tavrik::ResetProcessState();
    parent.page = &page;
    page.SetParentDlg(&parent);
    page.Create(nullptr, QRect(0, 0, 411, 460));
    page.Load();
  }
  // The application exists before the page does.
  QApplication& app = App();
  tavrik::ScriptedDialogs dialogs;
  tavrik::NoParent parent;
  tavrik::CSettingsPage page;
};

void BM_RebuildPreview(benchmark::State& state) {
  PlacedPage placed;
  const int zoom = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(placed.page.RebuildPreview(zoom));
}
BENCHMARK(BM_RebuildPreview)->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_SettingsPageLoad(benchmark::State& state) {
  PlacedPage placed;
  for (auto _ : state) placed.page.Load();
}
BENCHMARK(BM_SettingsPageLoad)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
