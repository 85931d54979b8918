#pragma once
// The command line of every tavrik-cli command: flags, options that may be
// given several times (--port P1 --port P2), and plain arguments; and the
// readers of the values the commands share.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik {

// Exit statuses: done; the action failed or was declined; a wrong command line.
inline constexpr int kCliOk = 0;
inline constexpr int kCliFailed = 1;
inline constexpr int kCliUsage = 2;

// A wrong command line: the tool prints the text and the usage and exits with 2.
struct CliUsageError {
  std::string text;
};

// What a command accepts.
inline constexpr std::size_t kAnyNumber = std::numeric_limits<std::size_t>::max();
struct CliOptions {
  std::set<std::string> flags;
  std::set<std::string> valued;
  std::size_t max_plain = kAnyNumber;
  // The valued options that may be given more than once (--port P1 --port P2);
  // any other given twice is a usage error, never "the last one wins".
  std::set<std::string> repeatable = {};
};

// One valued option or plain argument (an empty option) where it stood.
struct CliArg {
  std::string option;
  std::string value;
};

struct CliArgs {
  std::set<std::string> flags;
  std::map<std::string, std::vector<std::string>> values;
  std::vector<std::string> plain;
  // For commands whose arguments mean something by their order (diff A B).
  std::vector<CliArg> in_order;

  bool Has(const std::string& name) const { return flags.count(name) || values.count(name); }
  // The value given (the last of a repeatable option's).
  std::optional<std::string> Value(const std::string& name) const;
  std::vector<std::string> All(const std::string& name) const;
  // The last value given; missing or empty is a usage error.
  std::string Required(const std::string& name) const;
};

// argv[2..]: argv[1] is the command.
CliArgs ParseCliArgs(int argc, char** argv, const CliOptions& options);

// A decimal (or 0x) number within min..max, else a usage error naming the option.
std::uint32_t CliNumber(const std::string& name, const std::string& text, std::uint32_t min, std::uint32_t max);
// A decimal fraction within min..max, else a usage error naming the option.
double CliDecimal(const std::string& name, const std::string& text, double min, double max);
// A baud rate of the speed table.
std::uint32_t CliSpeed(const std::string& name, const std::string& text);
// A model code, 0-255.
std::uint8_t CliModel(const std::string& text);

// --speed and --timeout, or the connection's defaults.
std::uint32_t CliSpeedOption(const CliArgs& args);
std::uint32_t CliTimeoutOption(const CliArgs& args);

// A file or port name for a list of one name a line or a tab-separated line:
// a backslash, a newline, a tab and the other control characters are written
// as C escapes (\\, \n, \t, \x01), everything else as it is.
std::string EscapedName(std::string_view name);

}  // namespace tavrik
