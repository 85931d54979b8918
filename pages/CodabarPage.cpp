#include "pages/CodabarPage.h"

namespace tavrik {

CCodabarPage::CCodabarPage() : CPageImpl(kTemplateId) {}

void CCodabarPage::CreateControls(CPageForm&) {}

void CCodabarPage::Bindings(CBindings&) {}

}  // namespace tavrik
