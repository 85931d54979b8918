#include "pages/SymbolicsPage.h"

namespace tavrik {

CSymbolicsPage::CSymbolicsPage() : CPageImpl(kTemplateId) {}

void CSymbolicsPage::CreateControls(CPageForm&) {}

void CSymbolicsPage::Bindings(CBindings&) {}

}  // namespace tavrik
