#pragma once
// Runs a tool as a user's shell would, for tests: a child process with its own
// standard streams, killed when it outlives a generous limit, so a test of a
// hang ends with a failure instead of hanging itself.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "settings/init_settings_def.h"
#include "testsupport/TempDir.h"

extern char** environ;

namespace tavrik::test {

struct ProcessRun {
  int status = -1;  // the exit status, or 128 + the signal that ended it
  std::string out, err;
  bool killed = false;  // it outlived the limit
};

struct ProcessOptions {
  std::string input{};                     // fed on stdin (a pipe) unless stdin_path is set
  std::optional<std::string> stdin_path{}; // opened (non-blocking) as stdin instead
  std::optional<std::string> stdout_path{};  // stdout goes there (such as /dev/full) instead of a pipe
  bool close_stdout = false;               // the child starts with stdout closed
  std::chrono::seconds limit{60};
  std::vector<std::string> env{};          // "NAME=value" added to the environment
};

inline ProcessRun RunProcess(const std::string& program, const std::vector<std::string>& args,
                             const ProcessOptions& options = {}) {
  // A child that stops reading its input must not end the test with SIGPIPE.
  ::signal(SIGPIPE, SIG_IGN);
  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) || ::pipe2(out, O_CLOEXEC) || ::pipe2(err, O_CLOEXEC)) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (options.stdin_path)
    posix_spawn_file_actions_addopen(&actions, 0, options.stdin_path->c_str(), O_RDONLY | O_NONBLOCK, 0);
  else
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  if (options.close_stdout)
    posix_spawn_file_actions_addclose(&actions, 1);
  else if (options.stdout_path)
    posix_spawn_file_actions_addopen(&actions, 1, options.stdout_path->c_str(), O_WRONLY, 0);
  else
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env_strings(options.env);
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (auto& e : env_strings) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  ProcessRun run;
  if (spawned != 0) {
    for (int fd : {in[1], out[0], err[0]}) ::close(fd);
    return run;
  }
  std::atomic<bool> done{false};
  std::thread watchdog([&] {
    const auto deadline = std::chrono::steady_clock::now() + options.limit;
    while (!done.load() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!done.load()) {
      run.killed = true;
      ::kill(pid, SIGKILL);
    }
  });
  std::thread feeder([&] {
    std::size_t fed = 0;
    while (!options.stdin_path && fed < options.input.size()) {
      const ssize_t n = ::write(in[1], options.input.data() + fed, options.input.size() - fed);
      if (n <= 0) break;
      fed += static_cast<std::size_t>(n);
    }
    ::close(in[1]);
  });
  auto drain = [](int fd, std::string& to) {
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) to.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
  };
  std::thread err_reader([&] { drain(err[0], run.err); });
  drain(out[0], run.out);
  err_reader.join();
  int status = 0;
  ::waitpid(pid, &status, 0);
  done = true;
  watchdog.join();
  feeder.join();
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

// A fresh folder for each test of a tool, removed after it, with the
// process-wide state reset around it.
class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }
  void TearDown() override { ResetProcessState(); }
  std::string Path(const std::string& name) const { return temp_.Path(name); }
  TempDir temp_{"tavrik-tool"};
  const std::filesystem::path& dir_ = temp_.path();
};

}  // namespace tavrik::test
