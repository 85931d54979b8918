#include "pages/AztecPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CAztecPage::CAztecPage() : CPageImpl(kTemplateId) {}

void CAztecPage::CreateControls(CPageForm& form) {
  form.Check(1027, QStringLiteral("Распознавать Aztec Code"));
  form.Check(1083, QStringLiteral("Распознавать Aztec Runes"));
}

void CAztecPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.BindCheck(1027, s.aztec_enabled);
  b.BindCheck(1083, s.aztec_runes_enabled);
}

}  // namespace tavrik
