#include "pages/PharmacodePage.h"

namespace tavrik {

CPharmacodePage::CPharmacodePage() : CPageImpl(kTemplateId) {}

void CPharmacodePage::CreateControls(CPageForm&) {}

void CPharmacodePage::Bindings(CBindings&) {}

}  // namespace tavrik
