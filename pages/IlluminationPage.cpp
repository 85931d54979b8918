#include "pages/IlluminationPage.h"

namespace tavrik {

CIlluminationPage::CIlluminationPage() : CPageImpl(kTemplateId, QStringLiteral("Подсветка")) {}

void CIlluminationPage::CreateControls(CPageForm&) {}

void CIlluminationPage::Bindings(CBindings&) {}

}  // namespace tavrik
