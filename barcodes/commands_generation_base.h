#pragma once
// The command list of the old configuration-barcode form: each command is a
// code byte and a value byte. Numbers travel as a run of digit commands that
// follows the command opening the number.

#include <cstdint>
#include <string>
#include <vector>

namespace tavrik {

struct ConfigCommand {
  std::uint8_t code;
  std::uint8_t value;
  bool operator==(const ConfigCommand&) const = default;
};

using CommandList = std::vector<ConfigCommand>;

// The digit command and the values the scanner gives meaning to.
inline constexpr std::uint8_t kDigitCode = 80;
inline constexpr std::uint8_t kDigitMinus = 240;
inline constexpr std::uint8_t kDigitPairBase = 10;      // 10..109: a pair of digits
inline constexpr std::uint8_t kDigitThousand = 110;     // three zeros
inline constexpr std::uint8_t kDigitLastMark = 120;     // added to the closing digit command

// `value` is the byte the command carries (0..255).
void AddCommand(CommandList& commands, std::uint8_t code, unsigned value);
void AddFlag(CommandList& commands, std::uint8_t code, bool flag);
// (code, 0) followed by the digit commands of `n`.
void AddNumber(CommandList& commands, std::uint8_t code, std::int64_t n);
// (code, 0) followed by the digit commands of `i`, then those of `n`.
void AddIndexedNumber(CommandList& commands, std::uint8_t code, std::int64_t i, std::int64_t n);
// The digit commands of `n`, behind the last command of a non-empty list.
// Takes 64 bits so that every uint32 setting and the most negative int32 are
// carried exactly.
void AppendNumber(CommandList& commands, std::int64_t n);

// The old-form payload: "%02X%02X" per command, nothing between, no terminator.
std::string CommandsText(const CommandList& commands);

}  // namespace tavrik
