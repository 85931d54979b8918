#include "pages/ConfigurationManagementPage.h"

namespace tavrik {

CConfigurationManagementPage::CConfigurationManagementPage() : CPageImpl(kTemplateId, QStringLiteral("Управление настройкой")) {}

void CConfigurationManagementPage::CreateControls(CPageForm&) {}

void CConfigurationManagementPage::Bindings(CBindings&) {}

}  // namespace tavrik
