#include "tools/cli/CliArgs.h"

#include <cerrno>
#include <cstdlib>

#include "device/ScannerInterface.h"

namespace tavrik {

std::optional<std::string> CliArgs::Value(const std::string& name) const {
  auto it = values.find(name);
  if (it == values.end() || it->second.empty()) return std::nullopt;
  return it->second.back();
}

std::vector<std::string> CliArgs::All(const std::string& name) const {
  auto it = values.find(name);
  return it == values.end() ? std::vector<std::string>{} : it->second;
}

CliArgs ParseCliArgs(int argc, char** argv, const std::set<std::string>& flags, const std::set<std::string>& valued) {
  CliArgs args;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (flags.count(a)) {
      args.flags.insert(a);
    } else if (valued.count(a)) {
      if (i + 1 >= argc) throw CliUsageError{"у параметра " + a + " нет значения"};
      args.values[a].push_back(argv[++i]);
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      throw CliUsageError{"неизвестный параметр " + a};
    } else {
      args.plain.push_back(a);
    }
  }
  return args;
}

std::uint32_t CliNumber(const std::string& name, const std::string& text, std::uint32_t min, std::uint32_t max) {
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
  if (text.empty() || text[0] == '-' || *end != '\0' || errno == ERANGE || v < min || v > max)
    throw CliUsageError{"недопустимое значение " + name + ": " + text};
  return static_cast<std::uint32_t>(v);
}

std::uint32_t CliSpeed(const std::string& name, const std::string& text) {
  const std::uint32_t baud = CliNumber(name, text, 1, 0xFFFFFFFFu);
  if (SpeedIndexOf(baud) < 0)
    throw CliUsageError{"скорость " + text + " не из списка 2400, 4800, 9600, 19200, 38400, 57600, 115200"};
  return baud;
}

}  // namespace tavrik
