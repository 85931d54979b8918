#include "pages/ConfigurationManagementPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CConfigurationManagementPage::CConfigurationManagementPage() : CPageImpl(kTemplateId) {}

void CConfigurationManagementPage::CreateControls(CPageForm& form) {
  form.BeginGroup(QStringLiteral("Настроечные ШК"));
  form.RadioGroup(1108, QStringLiteral("Запрещены"));
  form.Radio(1109, QStringLiteral("Разрешены всегда"));
  form.Radio(1110, 
            QStringLiteral("Разрешены после вкл. питания, до первого чтения обычного ШК-да"));
  form.EndGroup();
}

void CConfigurationManagementPage::Bindings(CBindings& b) {
  b.CommitAfterAll();
  b.BindRadio(1108, CurrentSettings().config_barcodes_mode);
}

}  // namespace tavrik
