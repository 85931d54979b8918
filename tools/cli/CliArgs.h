#pragma once
// Command-line options of the fleet and file commands: flags, options that may
// be given several times (--port P1 --port P2), and plain arguments.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tavrik {

// A wrong command line: the tool prints the text and the usage and exits with 2.
struct CliUsageError {
  std::string text;
};

struct CliArgs {
  std::set<std::string> flags;
  std::map<std::string, std::vector<std::string>> values;
  std::vector<std::string> plain;

  bool Has(const std::string& name) const { return flags.count(name) || values.count(name); }
  // The last value given.
  std::optional<std::string> Value(const std::string& name) const;
  std::vector<std::string> All(const std::string& name) const;
};

// argv[2..]: argv[1] is the command.
CliArgs ParseCliArgs(int argc, char** argv, const std::set<std::string>& flags, const std::set<std::string>& valued);

// A decimal (or 0x) number within min..max, else a usage error naming the option.
std::uint32_t CliNumber(const std::string& name, const std::string& text, std::uint32_t min, std::uint32_t max);
// A baud rate of the speed table.
std::uint32_t CliSpeed(const std::string& name, const std::string& text);

}  // namespace tavrik
