#include "pages/ValidationPage.h"

namespace tavrik {

CValidationPage::CValidationPage() : CPageImpl(kTemplateId, QStringLiteral("Детектор валюты")) {}

void CValidationPage::CreateControls(CPageForm&) {}

void CValidationPage::Bindings(CBindings&) {}

}  // namespace tavrik
