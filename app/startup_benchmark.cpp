// Time from process start to the first drawn window: the program's main
// window against a bare Qt Widgets dialog (and one with a line of text), each
// in a fresh process. Without a display the probes run on the offscreen platform.

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace {

double StartOnce(const char* mode) {
  int out[2];
  if (pipe(out) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char* const args[] = {const_cast<char*>(TAVRIK_STARTUP_PROBE), const_cast<char*>(mode), nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, TAVRIK_STARTUP_PROBE, &actions, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    throw std::runtime_error("spawn");
  }
  char c = 0;
  bool shown = false;
  while (read(out[0], &c, 1) == 1) {
    if (c == '\n') {
      shown = true;
      break;
    }
  }
  const auto end = std::chrono::steady_clock::now();
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!shown) throw std::runtime_error("the probe drew no window");
  return std::chrono::duration<double>(end - start).count();
}

void Startup(benchmark::State& state, const char* mode) {
  if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  for (auto _ : state) {
    try {
      state.SetIterationTime(StartOnce(mode));
    } catch (const std::exception& e) {
      state.SkipWithError(e.what());
      break;
    }
  }
}

BENCHMARK_CAPTURE(Startup, bare_dialog, "bare")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(Startup, text_dialog, "text")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(Startup, main_window, "main")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
