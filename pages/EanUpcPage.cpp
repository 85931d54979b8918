#include "pages/EanUpcPage.h"

namespace tavrik {

CEanUpcPage::CEanUpcPage() : CPageImpl(kTemplateId, QStringLiteral("UPC/EAN")) {}

void CEanUpcPage::CreateControls(CPageForm&) {}

void CEanUpcPage::Bindings(CBindings&) {}

}  // namespace tavrik
