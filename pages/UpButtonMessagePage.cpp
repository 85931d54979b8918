#include "pages/UpButtonMessagePage.h"

namespace tavrik {

CUpButtonMessagePage::CUpButtonMessagePage() : CPageImpl(kTemplateId) {}

void CUpButtonMessagePage::CreateControls(CPageForm&) {}

void CUpButtonMessagePage::Bindings(CBindings&) {}

}  // namespace tavrik
