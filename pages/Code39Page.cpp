#include "pages/Code39Page.h"

namespace tavrik {

CCode39Page::CCode39Page() : CPageImpl(kTemplateId) {}

void CCode39Page::CreateControls(CPageForm&) {}

void CCode39Page::Bindings(CBindings&) {}

}  // namespace tavrik
