#pragma once
// The settings as the command list that scanner firmware older than the
// group barcode understands.

#include "barcodes/commands_generation_base.h"
#include "settings/init_settings_def.h"

namespace tavrik {

// Clears `commands` and fills them from `settings`. With `exclude_lens` the
// lens commands (133, 134, 130) are left out, so that reading the symbol keeps
// the lens values the scanner holds.
void GenerateCommands(CommandList& commands, bool exclude_lens, const Settings& settings = CurrentSettings());

}  // namespace tavrik
