#include "pages/QrCodePage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CQrCodePage::CQrCodePage() : CPageImpl(kTemplateId) {}

void CQrCodePage::CreateControls(CPageForm& form) {
  form.Check(1113, QStringLiteral("Распознавать QR Code"));
  form.Check(1112, QStringLiteral("Распознавать Micro QR Code"));
}

void CQrCodePage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.BindCheck(1113, s.qrcode_enabled);
  b.BindCheck(1112, s.micro_qr_enabled);
}

}  // namespace tavrik
