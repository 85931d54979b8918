#include "pages/AimLedsPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CAimLedsPage::CAimLedsPage() : CPageImpl(kTemplateId) {}

void CAimLedsPage::CreateControls(CPageForm& form) {
  form.Field(&Settings::aim_mode);
  form.Field(&Settings::aim_brightness);
}

void CAimLedsPage::Bindings(CBindings& b) {
  b.CommitAfterAll();
  b.BindPlaced();
}

}  // namespace tavrik
