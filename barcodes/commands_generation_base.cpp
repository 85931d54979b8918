#include "barcodes/commands_generation_base.h"

#include <cassert>
#include <cstddef>

namespace tavrik {

void AddCommand(CommandList& commands, std::uint8_t code, unsigned value) {
  assert(value <= 0xFF);
  commands.push_back({code, static_cast<std::uint8_t>(value)});
}

void AddFlag(CommandList& commands, std::uint8_t code, bool flag) { AddCommand(commands, code, flag ? 1 : 0); }

void AddNumber(CommandList& commands, std::uint8_t code, std::int64_t n) {
  AddCommand(commands, code, 0);
  AppendNumber(commands, n);
}

void AddIndexedNumber(CommandList& commands, std::uint8_t code, std::int64_t i, std::int64_t n) {
  AddCommand(commands, code, 0);
  AppendNumber(commands, i);
  AppendNumber(commands, n);
}

void AppendNumber(CommandList& commands, std::int64_t n) {
  assert(!commands.empty());
  // The scanner reads a number as a minus sign, then the groups from the most
  // significant on, the closing group marked. The groups come out least
  // significant first, so each one goes in front of those already made.
  std::uint64_t rest;
  if (n < 0) {
    commands.push_back({kDigitCode, kDigitMinus});
    rest = static_cast<std::uint64_t>(-(n + 1)) + 1;
  } else {
    rest = static_cast<std::uint64_t>(n);
  }
  const std::size_t insertion = commands.size();
  unsigned mark = kDigitLastMark;
  do {
    unsigned value = mark;
    if (rest >= 1000 && rest % 1000 == 0) {
      value += kDigitThousand;
      rest /= 1000;
    } else if (rest < 10) {
      value += static_cast<unsigned>(rest);
      rest = 0;
    } else {
      value += static_cast<unsigned>(rest % 100) + kDigitPairBase;
      rest /= 100;
    }
    commands.insert(commands.begin() + static_cast<std::ptrdiff_t>(insertion),
                    ConfigCommand{kDigitCode, static_cast<std::uint8_t>(value)});
    mark = 0;
  } while (rest > 0);
}

std::string CommandsText(const CommandList& commands) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(commands.size() * 4);
  for (const ConfigCommand& c : commands) {
    text += kHex[c.code >> 4];
    text += kHex[c.code & 0x0F];
    text += kHex[c.value >> 4];
    text += kHex[c.value & 0x0F];
  }
  return text;
}

}  // namespace tavrik
