#pragma once
// The settings page's actions, free of widgets: the model defaults, the
// settings file and the configuration barcode files. Each asks and reports
// through the Dialogs seam, so the page's buttons and the command-line tool
// run the same code.

#include <cstdint>

#include "barcodes/BarcodeRendering.h"
#include "core/Dialogs.h"
#include "settings/Models.h"

namespace tavrik {



// Replaces Settings by the defaults of `selected_model` after asking; the
// chosen model becomes CurrentModel. Declined: CurrentModel is put back and
// Settings stay. Returns whether Settings were replaced.
bool SetDefaults(std::uint8_t selected_model);

// How a file action ended. The settings page refreshes its barcode preview
// after a load and after a cancelled open dialog, not after a reported error.
enum class FileAction { done, cancelled, failed };

// The save dialog of a settings file: one filter, "qdx" added to a bare name.
// The desktop's dialog asks before overwriting and takes only an existing folder.
FileDialog SettingsSaveDialog();
// The open dialog: settings files and all files; the file must exist.
FileDialog SettingsOpenDialog();

// "Сохранить в файл": the save dialog, then the file of CurrentSettings; a
// failure shows its message.
FileAction SaveSettingsToFile();
// "Загрузить из файла": the open dialog, then the file into CurrentSettings,
// which an error leaves exactly as it was (after its message).
FileAction LoadSettingsFromFile();

// "Сохранить в виде ШК" after the preview: the save dialog
// (BarcodeSaveDialog), then the "_Old" and "_New" files in the format the name
// or the chosen filter gives; every failure shows its message, success is
// silent. `screen` sizes the metafile frame.
FileAction SaveAsBarcode(bool exclude_lens, const ScreenMetrics& screen = kHeadlessScreen);

}  // namespace tavrik
