#include "pages/SymbolicsPage.h"

namespace tavrik {

CSymbolicsPage::CSymbolicsPage() : CPageImpl(kTemplateId, QStringLiteral("Декодеры штрих-кодов")) {}

void CSymbolicsPage::CreateControls(CPageForm&) {}

void CSymbolicsPage::Bindings(CBindings&) {}

}  // namespace tavrik
