#include "pages/OcrPage.h"

namespace tavrik {

COcrPage::COcrPage() : CPageImpl(kTemplateId) {}

void COcrPage::CreateControls(CPageForm&) {}

void COcrPage::Bindings(CBindings&) {}

}  // namespace tavrik
