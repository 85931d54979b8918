#include "pages/SoundManagementPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CSoundManagementPage::CSoundManagementPage() : CPageImpl(kTemplateId) {}

void CSoundManagementPage::CreateControls(CPageForm& form) {
  const FieldRange& volume = RangeOf("volume");
  form.BeginGroup(QStringLiteral("Громкость"));
  form.TrackBar(1057, static_cast<int>(volume.min), static_cast<int>(volume.max));
  form.EndGroup();
  form.Check(1194, 
            QStringLiteral("Звуковой сигнал при установке / снятии сканера на подставку  *"));
  form.BeginGroup(QStringLiteral("Звук успешного считывания"));
  form.RadioGroup(2000, QStringLiteral("Звук 1"));
  for (int n = 2; n <= 5; ++n) form.Radio(2000 + n - 1, QStringLiteral("Звук %1").arg(n));
  form.EndGroup();
  form.Label(QStringLiteral("* Настройка для сканеров с беспроводной зарядкой или датчиком Холла"));
}

void CSoundManagementPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.CommitAfterAll();
  b.BindTrackBar(1057, s.volume);
  b.BindCheck(1194, s.stand_beep);
  b.BindRadio(2000, s.good_read_sound);
}

}  // namespace tavrik
