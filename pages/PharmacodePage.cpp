#include "pages/PharmacodePage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CPharmacodePage::CPharmacodePage() : CPageImpl(kTemplateId) {}

void CPharmacodePage::CreateControls(CPageForm& form) {
  form.Field(&Settings::pharmacode_enabled);
  form.Field(&Settings::pharmacode_direction);
  form.Field(&Settings::pharmacode_wide_quiet_zones);
  form.MarkGroupStart();
  form.Field(&Settings::pharmacode_min_value);
}

void CPharmacodePage::Bindings(CBindings& b) {
  // The direction is written only when the whole page stored.
  b.CommitAfterAll();
  b.BindPlaced();
}

}  // namespace tavrik
