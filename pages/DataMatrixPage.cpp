#include "pages/DataMatrixPage.h"

namespace tavrik {

CDataMatrixPage::CDataMatrixPage() : CPageImpl(kTemplateId) {}

void CDataMatrixPage::CreateControls(CPageForm&) {}

void CDataMatrixPage::Bindings(CBindings&) {}

}  // namespace tavrik
