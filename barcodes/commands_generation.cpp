#include "barcodes/commands_generation.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "settings/SettingsCatalog.h"

namespace tavrik {
namespace {

constexpr std::uint8_t kMaxSequenceLength = sizeof(ByteSeq::data);

// The command rows in the order the scanner expects them.
const std::vector<const SettingRow*>& CommandRows() {
  static const std::vector<const SettingRow*> rows = [] {
    std::vector<const SettingRow*> list;
    for (const SettingRow& row : SettingsCatalog()) {
      if (row.command.form != CommandForm::none) list.push_back(&row);
    }
    std::sort(list.begin(), list.end(),
              [](const SettingRow* a, const SettingRow* b) { return a->command.rank < b->command.rank; });
    return list;
  }();
  return rows;
}

// A sequence row names its hid_class slot; the command carries the slot of the
// set that the slot's interface selects.
void AddSequence(CommandList& commands, const SettingRow& row, const Settings& settings) {
  using Slot = ByteSeq Settings::* SequenceSlots::*;
  const SequenceSlots& hid = SlotsOf(SequenceClass::hid_class);
  struct Kind {
    Slot slot;
    std::uint8_t Settings::*interface_member;
  };
  const Kind kinds[] = {{&SequenceSlots::barcode_prefix, &Settings::barcode_interface},
                        {&SequenceSlots::barcode_suffix, &Settings::barcode_interface},
                        {&SequenceSlots::currency_prefix, &Settings::currency_interface},
                        {&SequenceSlots::currency_suffix, &Settings::currency_interface}};
  for (const Kind& kind : kinds) {
    if (MemberOffset(hid.*kind.slot) != row.member) continue;
    const std::uint8_t interface_code = settings.*kind.interface_member;
    const ByteSeq& seq = settings.*(SlotsOf(SequenceClassOf(interface_code)).*kind.slot);
    // A record read from a file may carry any length byte; only ten bytes exist.
    const std::uint8_t length = std::min(seq.length, kMaxSequenceLength);
    AddNumber(commands, row.command.code, length);
    for (std::uint8_t i = 0; i < length; ++i) {
      AddIndexedNumber(commands, static_cast<std::uint8_t>(row.command.code + 1), i + 1, seq.data[i]);
    }
    return;
  }
}

}  // namespace

void GenerateCommands(CommandList& commands, bool exclude_lens, const Settings& settings) {
  commands.clear();
  // The list opens with command 0.
  AddCommand(commands, 0, 0);
  for (const SettingRow* row : CommandRows()) {
    if (row->command.lens && exclude_lens) continue;
    const std::int64_t value = FieldNumber(*row, settings);
    const std::uint8_t code = row->command.code;
    switch (row->command.form) {
      case CommandForm::none: break;
      case CommandForm::byte: AddCommand(commands, code, static_cast<unsigned>(std::clamp<std::int64_t>(value, 0, 0xFF))); break;
      case CommandForm::flag: AddFlag(commands, code, value != 0); break;
      // Times go in milliseconds: the stored value times its unit.
      case CommandForm::number: AddNumber(commands, code, value * (row->HasRange() ? row->range.unit : 1)); break;
      case CommandForm::sequence: AddSequence(commands, *row, settings); break;
    }
  }
}

}  // namespace tavrik
