#include "pages/AztecPage.h"

namespace tavrik {

CAztecPage::CAztecPage() : CPageImpl(kTemplateId, QStringLiteral("Aztec Code")) {}

void CAztecPage::CreateControls(CPageForm&) {}

void CAztecPage::Bindings(CBindings&) {}

}  // namespace tavrik
