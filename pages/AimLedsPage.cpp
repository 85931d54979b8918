#include "pages/AimLedsPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CAimLedsPage::CAimLedsPage() : CPageImpl(kTemplateId) {}

void CAimLedsPage::CreateControls(CPageForm& form) {
  form.BeginGroup(QStringLiteral("Режим работы прицельных светодиодов"));
  form.RadioGroup(1104, QStringLiteral("Всегда выключены"));
  form.Radio(1105, QStringLiteral("Всегда включены"));
  form.Radio(1106, QStringLiteral("Включаются автоматически"));
  form.EndGroup();
  const FieldRange& brightness = RangeOf("aim_brightness");
  form.BeginGroup(QStringLiteral("Яркость прицельных светодиодов"));
  form.TrackBar(1107, static_cast<int>(brightness.min), static_cast<int>(brightness.max));
  form.EndGroup();
}

void CAimLedsPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.CommitAfterAll();
  b.BindRadio(1104, s.aim_mode);
  b.BindTrackBar(1107, s.aim_brightness);
}

}  // namespace tavrik
