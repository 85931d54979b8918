#include "pages/QrCodePage.h"

namespace tavrik {

CQrCodePage::CQrCodePage() : CPageImpl(kTemplateId) {}

void CQrCodePage::CreateControls(CPageForm&) {}

void CQrCodePage::Bindings(CBindings&) {}

}  // namespace tavrik
