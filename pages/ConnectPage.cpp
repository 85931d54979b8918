#include "pages/ConnectPage.h"

namespace tavrik {

CConnectPage::CConnectPage() : CPageImpl(kTemplateId) {}

void CConnectPage::CreateControls(CPageForm&) {}

void CConnectPage::Bindings(CBindings&) {}

}  // namespace tavrik
