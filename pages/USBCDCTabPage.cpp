#include "pages/USBCDCTabPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CUSBCDCTabPage::CUSBCDCTabPage() : CPageImpl(kTemplateId) {}

void CUSBCDCTabPage::CreateControls(CPageForm& form) { form.Field(&Settings::cdc_static_port); }

void CUSBCDCTabPage::Bindings(CBindings& b) { b.BindPlaced(); }

}  // namespace tavrik
