#include "pages/PharmacodePage.h"

namespace tavrik {

CPharmacodePage::CPharmacodePage() : CPageImpl(kTemplateId, QStringLiteral("Pharmacode")) {}

void CPharmacodePage::CreateControls(CPageForm&) {}

void CPharmacodePage::Bindings(CBindings&) {}

}  // namespace tavrik
