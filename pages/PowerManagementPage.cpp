#include "pages/PowerManagementPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CPowerManagementPage::CPowerManagementPage() : CPageImpl(kTemplateId) {}

void CPowerManagementPage::CreateControls(CPageForm& form) {
  form.NumberEdit(1033, QStringLiteral("Время перехода в спящий режим (сек.):"),
                  QStringLiteral("макс. 255 сек"));
  form.Check(1032, QStringLiteral("Уменьшать яркость осветителя в спящем режиме"));
  form.NumberEdit(1200,
                  QStringLiteral("Время простоя аккумуляторного сканера с активным "
                                 "BT-сопряжением до выключения питания (мин.)"),
                  QStringLiteral("мин. 1, макс. 60000"));
}

void CPowerManagementPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  const FieldRange& sleep = RangeOf("sleep_timeout");
  const FieldRange& power_off = RangeOf("bt_power_off_minutes");
  b.BindInt(1033, s.sleep_timeout, sleep.min, sleep.max);
  b.BindCheck(1032, s.sleep_dim_illumination);
  b.BindInt(1200, s.bt_power_off_minutes, power_off.min, power_off.max);
}

}  // namespace tavrik
