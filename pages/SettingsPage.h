#pragma once
// The page "Настройки": the whole configuration as one unit: model defaults, settings files, configuration barcodes and the device transfers.

#include "pages/Page.h"

namespace tavrik {

class CSettingsPage : public CPageImpl<CSettingsPage> {
 public:
  static constexpr int kTemplateId = 216;

  CSettingsPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
