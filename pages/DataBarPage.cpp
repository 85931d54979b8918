#include "pages/DataBarPage.h"

namespace tavrik {

CDataBarPage::CDataBarPage() : CPageImpl(kTemplateId) {}

void CDataBarPage::CreateControls(CPageForm&) {}

void CDataBarPage::Bindings(CBindings&) {}

}  // namespace tavrik
