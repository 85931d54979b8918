#include "pages/DataBarPage.h"

namespace tavrik {

CDataBarPage::CDataBarPage() : CPageImpl(kTemplateId, QStringLiteral("GS1 DataBar")) {}

void CDataBarPage::CreateControls(CPageForm&) {}

void CDataBarPage::Bindings(CBindings&) {}

}  // namespace tavrik
