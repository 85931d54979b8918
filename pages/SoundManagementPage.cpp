#include "pages/SoundManagementPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CSoundManagementPage::CSoundManagementPage() : CPageImpl(kTemplateId) {}

void CSoundManagementPage::CreateControls(CPageForm& form) {
  form.Field(&Settings::volume);
  form.Field(&Settings::stand_beep);
  form.Field(&Settings::good_read_sound);
  form.Label(QStringLiteral("* Настройка для сканеров с беспроводной зарядкой или датчиком Холла"));
}

void CSoundManagementPage::Bindings(CBindings& b) {
  b.CommitAfterAll();
  b.BindPlaced();
}

}  // namespace tavrik
