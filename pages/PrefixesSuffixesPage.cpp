#include "pages/PrefixesSuffixesPage.h"

namespace tavrik {

CPrefixesSuffixesPage::CPrefixesSuffixesPage() : CPageImpl(kTemplateId) {}

void CPrefixesSuffixesPage::CreateControls(CPageForm&) {}

void CPrefixesSuffixesPage::Bindings(CBindings&) {}

}  // namespace tavrik
