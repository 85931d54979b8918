#include "pages/ConfigurationManagementPage.h"

namespace tavrik {

CConfigurationManagementPage::CConfigurationManagementPage() : CPageImpl(kTemplateId) {}

void CConfigurationManagementPage::CreateControls(CPageForm&) {}

void CConfigurationManagementPage::Bindings(CBindings&) {}

}  // namespace tavrik
