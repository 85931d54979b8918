#include "pages/TriggerPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CTriggerPage::CTriggerPage() : CPageImpl(kTemplateId) {}

void CTriggerPage::CreateControls(CPageForm& form) {
  form.BeginGroup(QStringLiteral("Запуск сканирования"));
  form.RadioGroup(1173, QStringLiteral("По курку или по команде"));
  form.Radio(1174, QStringLiteral("По детектору движения"));
  form.Radio(1175, QStringLiteral("Непрерывно"));
  form.EndGroup();
  // The modes of a scanner on its stand stand apart, yet they are positions 3
  // and 4 of the same group: a group box does not end a radio group.
  form.BeginGroup(QString());
  form.Radio(1189, QStringLiteral("Непрерывно при установке на подставку "));
  form.Radio(1191, QStringLiteral("По детектору движения при установке на подставку"));
  form.EndGroup();
}

void CTriggerPage::Bindings(CBindings& b) {
  b.CommitAfterAll();
  b.BindRadio(1173, CurrentSettings().trigger_mode);
}

}  // namespace tavrik
