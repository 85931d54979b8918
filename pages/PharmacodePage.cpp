#include "pages/PharmacodePage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CPharmacodePage::CPharmacodePage() : CPageImpl(kTemplateId) {}

void CPharmacodePage::CreateControls(CPageForm& form) {
  form.Check(1027, QStringLiteral("Распознавать Pharmacode"));
  form.BeginGroup(QStringLiteral("Направление считывания"));
  form.RadioGroup(1122, QStringLiteral("Слева направо"));
  form.Radio(1123, QStringLiteral("Справа налево"));
  form.Radio(1127, QStringLiteral("Сверху вниз"));
  form.Radio(1128, QStringLiteral("Снизу вверх"));
  form.EndGroup();
  form.Check(1124, QStringLiteral("Увеличенные свободные зоны"));
  form.MarkGroupStart();
  form.NumberEdit(1125, QStringLiteral("Минимальное закодированное значение:"),
                  QStringLiteral("мин. 3, макс. 131070"));
}

void CPharmacodePage::Bindings(CBindings& b) {
  // The direction is written only when the whole page stored.
  b.CommitAfterAll();
  Settings& s = CurrentSettings();
  const FieldRange& min_value = RangeOf("pharmacode_min_value");
  b.BindCheck(1027, s.pharmacode_enabled);
  b.BindRadio(1122, s.pharmacode_direction);
  b.BindCheck(1124, s.pharmacode_wide_quiet_zones);
  b.BindInt(1125, s.pharmacode_min_value, min_value.min, min_value.max);
}

}  // namespace tavrik
