#include "pages/DataBarPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CDataBarPage::CDataBarPage() : CPageImpl(kTemplateId) {}

void CDataBarPage::CreateControls(CPageForm& form) {
  form.Check(1132, QStringLiteral("Распознавать GS1 DataBar 14"));
  form.Check(1212, QStringLiteral("Распознавание низких GS1 DataBar"));
}

void CDataBarPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.BindCheck(1132, s.databar14_enabled);
  b.BindCheck(1212, s.databar_low_enabled);
}

}  // namespace tavrik
