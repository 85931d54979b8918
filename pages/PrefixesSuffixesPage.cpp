#include "pages/PrefixesSuffixesPage.h"

namespace tavrik {

CPrefixesSuffixesPage::CPrefixesSuffixesPage() : CPageImpl(kTemplateId, QStringLiteral("Префиксы/Суффиксы")) {}

void CPrefixesSuffixesPage::CreateControls(CPageForm&) {}

void CPrefixesSuffixesPage::Bindings(CBindings&) {}

}  // namespace tavrik
