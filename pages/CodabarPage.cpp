#include "pages/CodabarPage.h"

namespace tavrik {

CCodabarPage::CCodabarPage() : CPageImpl(kTemplateId, QStringLiteral("Codabar")) {}

void CCodabarPage::CreateControls(CPageForm&) {}

void CCodabarPage::Bindings(CBindings&) {}

}  // namespace tavrik
