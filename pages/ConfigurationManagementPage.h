#pragma once
// The page "Управление настройкой": acceptance of configuration barcodes.

#include "pages/Page.h"

namespace tavrik {

class CConfigurationManagementPage : public CPageImpl<CConfigurationManagementPage> {
 public:
  static constexpr int kTemplateId = page_id::configuration;

  CConfigurationManagementPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
