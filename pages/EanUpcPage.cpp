#include "pages/EanUpcPage.h"

namespace tavrik {

CEanUpcPage::CEanUpcPage() : CPageImpl(kTemplateId) {}

void CEanUpcPage::CreateControls(CPageForm&) {}

void CEanUpcPage::Bindings(CBindings&) {}

}  // namespace tavrik
