#include "pages/ConnectPage.h"

namespace tavrik {

CConnectPage::CConnectPage() : CPageImpl(kTemplateId, QStringLiteral("Подключение")) {}

void CConnectPage::CreateControls(CPageForm&) {}

void CConnectPage::Bindings(CBindings&) {}

}  // namespace tavrik
