#include "pages/2of5IPage.h"

namespace tavrik {

C2of5IPage::C2of5IPage() : CPageImpl(kTemplateId) {}

void C2of5IPage::CreateControls(CPageForm&) {}

void C2of5IPage::Bindings(CBindings&) {}

}  // namespace tavrik
