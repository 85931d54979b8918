#pragma once
// The commands of tavrik-cli: one row per command, with what its command line
// accepts. Each command takes its parsed command line, returns the exit status
// and throws CliUsageError for a wrong command line.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/cli/CliArgs.h"

namespace tavrik {

struct CliCommand {
  const char* name;
  CliOptions options;
  int (*run)(const CliArgs& args);
  // The status when the tool itself fails (its output is lost, an error it
  // did not expect): diff's 1 means "different", so its trouble is 2.
  int trouble = kCliFailed;
};

// Every command, in the order of the general usage text.
std::span<const CliCommand> CliCommands();
// The command of that name, or null.
const CliCommand* FindCliCommand(std::string_view name);

struct Source;

// A file, field by field.
int ShowCommand(const CliArgs& args);
// The lines show prints, "name = value" each, the image header first.
std::string ShowText(const Source& source);
int DiffCommand(const CliArgs& args);
int SetCommand(const CliArgs& args);

// A scanner brought to the settings of a file and NAME=VALUE changes, written
// only when a field differs.
int ApplyCommand(const CliArgs& args);

// The serial ports of --all (and of doctor without --port). The variables
// TAVRIK_TTY_CLASS_DIR and TAVRIK_DEV_DIR let a test or a container point the
// tool at a tree of its own.
std::vector<std::string> AllPorts();

// A save, probe or search command line for many ports: --port given more than
// once, or --all.
bool ManyPorts(const CliArgs& args);
int SaveManyCommand(const CliArgs& args);
int ProbeManyCommand(const CliArgs& args);
int SearchManyCommand(const CliArgs& args);

// The host check of ports.
int DoctorCommand(const CliArgs& args);

}  // namespace tavrik
