#include "pages/QrCodePage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

constexpr CheckRow kChecks[] = {
    {1113, u"Распознавать QR Code", &Settings::qrcode_enabled},
    {1112, u"Распознавать Micro QR Code", &Settings::micro_qr_enabled},
};

}  // namespace

CQrCodePage::CQrCodePage() : CPageImpl(kTemplateId) {}

void CQrCodePage::CreateControls(CPageForm& form) { form.Checks(kChecks); }

void CQrCodePage::Bindings(CBindings& b) { b.BindChecks(kChecks); }

}  // namespace tavrik
