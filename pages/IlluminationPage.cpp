#include "pages/IlluminationPage.h"

namespace tavrik {

CIlluminationPage::CIlluminationPage() : CPageImpl(kTemplateId) {}

void CIlluminationPage::CreateControls(CPageForm&) {}

void CIlluminationPage::Bindings(CBindings&) {}

}  // namespace tavrik
