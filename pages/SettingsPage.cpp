#include "pages/SettingsPage.h"

namespace tavrik {

CSettingsPage::CSettingsPage() : CPageImpl(kTemplateId) {}

void CSettingsPage::CreateControls(CPageForm&) {}

void CSettingsPage::Bindings(CBindings&) {}

}  // namespace tavrik
