#include "pages/Pdf417Page.h"

namespace tavrik {

CPdf417Page::CPdf417Page() : CPageImpl(kTemplateId) {}

void CPdf417Page::CreateControls(CPageForm&) {}

void CPdf417Page::Bindings(CBindings&) {}

}  // namespace tavrik
