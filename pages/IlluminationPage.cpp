#include "pages/IlluminationPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CIlluminationPage::CIlluminationPage() : CPageImpl(kTemplateId) {}

void CIlluminationPage::CreateControls(CPageForm& form) {
  form.Field(&Settings::illumination_mode);
  form.Field(&Settings::illumination_brightness);
  form.Label(QStringLiteral(
      "Примечание.\nНизкая яркость подсветки ухудшает надёжность считывания штрих-кодов."));
}

void CIlluminationPage::Bindings(CBindings& b) {
  b.CommitAfterAll();
  // A mode that no button stands for checks none; left so, the record keeps it.
  b.BindPlaced();
}

}  // namespace tavrik
