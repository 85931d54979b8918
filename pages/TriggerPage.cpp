#include "pages/TriggerPage.h"

namespace tavrik {

CTriggerPage::CTriggerPage() : CPageImpl(kTemplateId) {}

void CTriggerPage::CreateControls(CPageForm&) {}

void CTriggerPage::Bindings(CBindings&) {}

}  // namespace tavrik
