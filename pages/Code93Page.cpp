#include "pages/Code93Page.h"

namespace tavrik {

CCode93Page::CCode93Page() : CPageImpl(kTemplateId) {}

void CCode93Page::CreateControls(CPageForm&) {}

void CCode93Page::Bindings(CBindings&) {}

}  // namespace tavrik
