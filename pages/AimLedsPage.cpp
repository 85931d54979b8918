#include "pages/AimLedsPage.h"

namespace tavrik {

CAimLedsPage::CAimLedsPage() : CPageImpl(kTemplateId) {}

void CAimLedsPage::CreateControls(CPageForm&) {}

void CAimLedsPage::Bindings(CBindings&) {}

}  // namespace tavrik
