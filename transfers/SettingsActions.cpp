#include "transfers/SettingsActions.h"

#include <cstdio>

#include "core/Dialogs.h"
#include "device/ScannerInterface.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"

namespace tavrik {

bool SetDefaults(std::uint8_t selected_model) {
  if (selected_model == kNoModel) {
    CurrentDialogs().Show({kChooseModelText, "", Icon::exclamation, Buttons::ok, Answer::ok});
    return false;
  }
  const std::uint8_t previous = CurrentModel();
  SetCurrentModel(selected_model);
  std::uint8_t image[kPlacementSize] = {};
  InitPlacement(image, nullptr);
  char question[512];
  std::snprintf(question, sizeof question, kDefaultsQuestionFormat, ModelText(selected_model, false).c_str());
  if (!AskYesNo(question)) {
    SetCurrentModel(previous);
    return false;
  }
  SettingsFromPlacement(CurrentSettings(), image);
  return true;
}

}  // namespace tavrik
