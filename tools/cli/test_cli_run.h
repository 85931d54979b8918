#pragma once
// For the tool's tests: tavrik-cli run as a user runs it, a child process with
// its stdin fed and its stdout and stderr collected, and a temporary folder
// for the files it reads and writes.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "settings/init_settings_def.h"

extern char** environ;

namespace tavrik::cli_testing {

struct CliRun {
  int status = -1;
  std::string out, err;
};

// Runs tavrik-cli with `args`, feeding `input` on stdin (not a terminal), with
// `env` ("NAME=value") added to the environment.
inline CliRun Cli(const std::vector<std::string>& args, const std::string& input = "",
                  const std::vector<std::string>& env = {}) {
  int in[2], out[2], err[2];
  if (::pipe(in) || ::pipe(out) || ::pipe(err)) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) posix_spawn_file_actions_addclose(&actions, fd);
  std::vector<std::string> all = {TAVRIK_CLI};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env_strings(env);
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (auto& e : env_strings) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, TAVRIK_CLI, &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  CliRun run;
  if (spawned != 0) {
    for (int fd : {in[1], out[0], err[0]}) ::close(fd);
    return run;
  }
  std::thread feeder([&] {
    std::size_t done = 0;
    while (done < input.size()) {
      ssize_t n = ::write(in[1], input.data() + done, input.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
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
  feeder.join();
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0, end;
  while ((end = text.find('\n', start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// A fresh temporary folder and the start-up process state for each test.
class CliFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    char tmpl[] = "/tmp/tavrik-cli-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::filesystem::remove_all(dir_);
    ResetProcessState();
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

}  // namespace tavrik::cli_testing
