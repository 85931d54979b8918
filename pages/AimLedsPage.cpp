#include "pages/AimLedsPage.h"

namespace tavrik {

CAimLedsPage::CAimLedsPage() : CPageImpl(kTemplateId, QStringLiteral("Прицельные светодиоды")) {}

void CAimLedsPage::CreateControls(CPageForm&) {}

void CAimLedsPage::Bindings(CBindings&) {}

}  // namespace tavrik
