#include "pages/QrCodePage.h"

namespace tavrik {

CQrCodePage::CQrCodePage() : CPageImpl(kTemplateId, QStringLiteral("QR Code")) {}

void CQrCodePage::CreateControls(CPageForm&) {}

void CQrCodePage::Bindings(CBindings&) {}

}  // namespace tavrik
