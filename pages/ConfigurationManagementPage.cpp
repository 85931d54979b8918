#include "pages/ConfigurationManagementPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CConfigurationManagementPage::CConfigurationManagementPage() : CPageImpl(kTemplateId) {}

void CConfigurationManagementPage::CreateControls(CPageForm& form) {
  form.Field(&Settings::config_barcodes_mode);
}

void CConfigurationManagementPage::Bindings(CBindings& b) {
  b.CommitAfterAll();
  b.BindPlaced();
}

}  // namespace tavrik
