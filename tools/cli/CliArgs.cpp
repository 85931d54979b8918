#include "tools/cli/CliArgs.h"

#include <cerrno>
#include <cstdlib>

#include "core/NumberText.h"
#include "device/ScannerInterface.h"
#include "transfers/ConnectionParams.h"

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

std::string CliArgs::Required(const std::string& name) const {
  const std::optional<std::string> v = Value(name);
  if (!v || v->empty()) throw CliUsageError{"не задан параметр " + name};
  return *v;
}

CliArgs ParseCliArgs(int argc, char** argv, const CliOptions& options) {
  CliArgs args;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (options.flags.count(a)) {
      args.flags.insert(a);
    } else if (options.valued.count(a)) {
      if (i + 1 >= argc) throw CliUsageError{"у параметра " + a + " нет значения"};
      if (args.values.count(a) && !options.repeatable.count(a)) throw CliUsageError{"параметр " + a + " задан дважды"};
      args.values[a].push_back(argv[++i]);
      args.in_order.push_back({a, argv[i]});
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      throw CliUsageError{"неизвестный параметр " + a};
    } else {
      args.plain.push_back(a);
      args.in_order.push_back({"", a});
    }
  }
  if (args.plain.size() > options.max_plain) throw CliUsageError{"лишний аргумент " + args.plain[options.max_plain]};
  return args;
}

std::uint32_t CliNumber(const std::string& name, const std::string& text, std::uint32_t min, std::uint32_t max) {
  // Digits only: strtoull would let leading blanks and a minus sign through
  // (" -18446744073709551615" is 1).
  const std::optional<std::uint64_t> v = ParseUnsigned(text);
  if (!v || *v < min || *v > max) throw CliUsageError{"недопустимое значение " + name + ": " + text};
  return static_cast<std::uint32_t>(*v);
}

double CliDecimal(const std::string& name, const std::string& text, double min, double max) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(v >= min && v <= max))
    throw CliUsageError{"недопустимое значение " + name + ": " + text};
  return v;
}

std::uint32_t CliSpeed(const std::string& name, const std::string& text) {
  const std::uint32_t baud = CliNumber(name, text, 1, 0xFFFFFFFFu);
  if (SpeedIndexOf(baud) < 0)
    throw CliUsageError{"скорость " + text + " не из списка " + SpeedList(", ")};
  return baud;
}

std::string EscapedName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20 || u == 0x7F) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

std::uint8_t CliModel(const std::string& text) { return static_cast<std::uint8_t>(CliNumber("--model", text, 0, 255)); }

std::uint32_t CliSpeedOption(const CliArgs& args) {
  const auto speed = args.Value("--speed");
  return speed ? CliSpeed("--speed", *speed) : ConnectionParamsT{}.speed;
}

std::uint32_t CliTimeoutOption(const CliArgs& args) {
  const auto timeout = args.Value("--timeout");
  return timeout ? CliNumber("--timeout", *timeout, kMinTimeout, kMaxTimeout) : ConnectionParamsT{}.timeout;
}

}  // namespace tavrik
