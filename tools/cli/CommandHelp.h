#pragma once
// The help of each command of tavrik-cli: what `tavrik-cli COMMAND --help`
// prints. The bash completion and the manual page list the same commands.

#include <cstddef>
#include <span>
#include <string_view>

namespace tavrik {

struct CommandHelp {
  const char* name;
  const char* text;  // the synopsis first, then what it does and its options
};

// One row per command, in the order of the general usage text.
std::span<const CommandHelp> CommandHelpTable();

// The help of `command`, or null for a command without its own.
const char* CommandHelpText(std::string_view command);

// Whether the arguments after the command ask for its help.
bool AsksForHelp(int argc, char** argv);

}  // namespace tavrik
