#pragma once
// For the tool's tests: tavrik-cli run as a user runs it (a child process
// with its stdin fed and its stdout and stderr collected), and a temporary
// folder for the files it reads and writes.

#include <string>
#include <vector>

#include "tools/cli/cli_process.h"

namespace tavrik::cli_testing {

using CliRun = test::ProcessRun;

// Runs tavrik-cli with `args`, feeding `input` on stdin (not a terminal), with
// `env` ("NAME=value") added to the environment.
inline CliRun Cli(const std::vector<std::string>& args, const std::string& input = "",
                  const std::vector<std::string>& env = {}) {
  return test::RunProcess(TAVRIK_CLI, args, {.input = input, .env = env});
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
using CliFileTest = test::ToolTest;

}  // namespace tavrik::cli_testing
