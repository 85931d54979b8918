#include "pages/UpButtonMessagePage.h"

namespace tavrik {

CUpButtonMessagePage::CUpButtonMessagePage() : CPageImpl(kTemplateId, QStringLiteral("Сообщение от верхней кнопки")) {}

void CUpButtonMessagePage::CreateControls(CPageForm&) {}

void CUpButtonMessagePage::Bindings(CBindings&) {}

}  // namespace tavrik
