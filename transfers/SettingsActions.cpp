#include "transfers/SettingsActions.h"

#include <cstdio>

#include "core/Messages.h"
#include "device/ScannerInterface.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"

namespace tavrik {

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

}  // namespace tavrik
