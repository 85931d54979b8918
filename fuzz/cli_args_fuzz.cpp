// The command-line tool's argument handling: any argument list ends with a
// status of 0, 1 or 2 and never crashes. The input is the arguments, each
// ended by a zero byte. The tool runs in an empty folder of its own with
// stdin and stdout on /dev/null; arguments that could reach outside that
// folder (a '/') or the machine's serial ports (ports, search) are skipped.
// Give the fuzzer absolute folders and -artifact_prefix: relative ones would
// point into that folder, which is emptied after every run.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

int tavrik_cli_main(int argc, char** argv);

namespace {

void EnterSandbox() {
  static bool entered = false;
  if (entered) return;
  entered = true;
  static char folder[] = "/tmp/tavrik-cli-fuzz-XXXXXX";
  if (!mkdtemp(folder) || chdir(folder) != 0) std::abort();
  std::atexit([] {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  });
  // The tool's messages on stderr are silenced with -close_fd_mask=2, which
  // keeps the fuzzer's own reports.
  const int null = open("/dev/null", O_RDWR);
  if (null < 0 || dup2(null, STDIN_FILENO) < 0 || dup2(null, STDOUT_FILENO) < 0) std::abort();
  close(null);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args = {"tavrik-cli"};
  std::string current;
  for (std::size_t i = 0; i < size && args.size() < 16; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (!current.empty() && args.size() < 16) args.push_back(current);
  for (const std::string& a : args)
    if (a.find('/') != std::string::npos) return -1;
  if (args.size() > 1 && (args[1] == "ports" || args[1] == "search")) return -1;

  EnterSandbox();
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int status = tavrik_cli_main(static_cast<int>(args.size()), argv.data());
  if (status < 0 || status > 2) std::abort();
  std::clearerr(stdout);
  // What a run wrote stays out of the next one.
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(".", error))
    std::filesystem::remove_all(entry.path(), error);
  return 0;
}
