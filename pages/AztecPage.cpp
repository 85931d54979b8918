#include "pages/AztecPage.h"

namespace tavrik {

CAztecPage::CAztecPage() : CPageImpl(kTemplateId) {}

void CAztecPage::CreateControls(CPageForm&) {}

void CAztecPage::Bindings(CBindings&) {}

}  // namespace tavrik
