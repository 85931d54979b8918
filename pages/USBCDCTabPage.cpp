#include "pages/USBCDCTabPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CUSBCDCTabPage::CUSBCDCTabPage() : CPageImpl(kTemplateId, QStringLiteral("USB CDC")) {}

void CUSBCDCTabPage::CreateControls(CPageForm& form) {
  form.Check(1151, QStringLiteral("Статический адрес COM порта"));
}

void CUSBCDCTabPage::Bindings(CBindings& b) { b.BindCheck(1151, CurrentSettings().cdc_static_port); }

}  // namespace tavrik
