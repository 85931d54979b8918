#include "pages/PowerManagementPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CPowerManagementPage::CPowerManagementPage() : CPageImpl(kTemplateId) {}

void CPowerManagementPage::CreateControls(CPageForm& form) {
  form.Field(&Settings::sleep_timeout);
  form.Field(&Settings::sleep_dim_illumination);
  form.Field(&Settings::bt_power_off_minutes);
}

void CPowerManagementPage::Bindings(CBindings& b) { b.BindPlaced(); }

}  // namespace tavrik
