#include "pages/ValidationPage.h"

namespace tavrik {

CValidationPage::CValidationPage() : CPageImpl(kTemplateId) {}

void CValidationPage::CreateControls(CPageForm&) {}

void CValidationPage::Bindings(CBindings&) {}

}  // namespace tavrik
