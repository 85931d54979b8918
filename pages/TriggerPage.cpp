#include "pages/TriggerPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CTriggerPage::CTriggerPage() : CPageImpl(kTemplateId) {}

void CTriggerPage::CreateControls(CPageForm& form) {
  const SettingRow& mode = SettingOf(&Settings::trigger_mode);
  form.BeginGroup(QString::fromUtf8(mode.caption));
  form.Radios(mode, 0, 3);
  form.EndGroup();
  // The modes of a scanner on its stand stand apart, yet they are positions 3
  // and 4 of the same group: a group box does not end a radio group.
  form.BeginGroup(QString());
  form.Radios(mode, 3, mode.choices.size());
  form.EndGroup();
}

void CTriggerPage::Bindings(CBindings& b) {
  b.CommitAfterAll();
  b.BindPlaced();
}

}  // namespace tavrik
