#include "pages/InterfacesPage.h"

namespace tavrik {

CInterfacesPage::CInterfacesPage() : CPageImpl(kTemplateId, QStringLiteral("Интерфейс с ПК")) {}

void CInterfacesPage::CreateControls(CPageForm&) {}

void CInterfacesPage::Bindings(CBindings&) {}

}  // namespace tavrik
