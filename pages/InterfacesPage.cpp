#include "pages/InterfacesPage.h"

namespace tavrik {

CInterfacesPage::CInterfacesPage() : CPageImpl(kTemplateId) {}

void CInterfacesPage::CreateControls(CPageForm&) {}

void CInterfacesPage::Bindings(CBindings&) {}

}  // namespace tavrik
