#include "transfers/SettingsActions.h"

#include <cstdio>

#include "barcodes/BarcodeFormats.h"
#include "barcodes/GroupBarcode.h"
#include "core/Messages.h"
#include "device/ScannerInterface.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"

namespace tavrik {
namespace {

constexpr const char* kSettingsExtension = "qdx";
constexpr const char* kSettingsPattern = "*.qdx";
constexpr const char* kAllFilesPattern = "*.*";

FileAction Report(FileResult result) {
  if (result == FileResult::ok) return FileAction::done;
  ShowFailure(FileResultText(result));
  return FileAction::failed;
}

}  // namespace

bool SetDefaults(std::uint8_t selected_model) {
  if (selected_model == kNoModel) {
    Show(kChooseModel);
    return false;
  }
  const std::uint8_t previous = CurrentModel();
  SetCurrentModel(selected_model);
  std::uint8_t image[kPlacementSize] = {};
  InitPlacement(image, nullptr);
  if (!Ask(kDefaultsQuestion, Fill(kDefaultsQuestion, ModelText(selected_model, false)))) {
    SetCurrentModel(previous);
    return false;
  }
  SettingsFromPlacement(CurrentSettings(), image);
  return true;
}

FileDialog SettingsSaveDialog() { return {{{kSettingsFileFilter, kSettingsPattern}}, kSettingsExtension}; }

FileDialog SettingsOpenDialog() {
  return {{{kSettingsFileFilter, kSettingsPattern}, {kAllFilesFilter, kAllFilesPattern}}, kSettingsExtension};
}

FileAction SaveSettingsToFile() {
  const auto path = CurrentDialogs().SaveFileName(SettingsSaveDialog());
  if (!path) return FileAction::cancelled;
  return Report(WriteSettingsFile(*path, CurrentSettings()));
}

FileAction LoadSettingsFromFile() {
  const auto path = CurrentDialogs().OpenFileName(SettingsOpenDialog());
  if (!path) return FileAction::cancelled;
  return Report(ReadSettingsFile(*path, CurrentSettings()));
}

FileAction SaveAsBarcode(bool exclude_lens, const ScreenMetrics& screen) {
  FileDialog dialog = BarcodeSaveDialog();
  int filter = 0;
  dialog.chosen_filter = &filter;
  const auto path = CurrentDialogs().SaveFileName(dialog);
  if (!path) return FileAction::cancelled;
  const SaveBarcodeResult result =
      SaveBarcodeFilesAs(*path, ChosenBarcodeFormat(*path, filter), exclude_lens, PrintGeometry{}, screen);
  if (result == SaveBarcodeResult::saved) return FileAction::done;
  ShowFailure(SaveBarcodeMessage(result));
  return FileAction::failed;
}

}  // namespace tavrik
