#include "pages/SymbolicsPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CSymbolicsPage::CSymbolicsPage() : CPageImpl(kTemplateId) {}

void CSymbolicsPage::CreateControls(CPageForm& form) {
  form.Field(&Settings::symbology_id_mode);
  form.Field(&Settings::redecode_timeout);
  form.MarkGroupStart();
  form.Field(&Settings::inter_barcode_delay);
  form.Field(&Settings::centre_only);
  form.BeginGroup(QString::fromUtf8(SettingOf(&Settings::structured_append).group));
  form.Field(&Settings::structured_append);
  form.Field(&Settings::structured_append_timeout);
  form.EndGroup();
  form.Field(&Settings::screen_reading);
  form.Field(&Settings::eci_transmit);
  form.Field(&Settings::gs1_ai_brackets);
  form.Label(QStringLiteral(
      "* Настройка применима только для стационарных сканеров. Не рекомендуется к "
      "использованию из-за понижения скорости распознавания печатных ШК. Альтернативно "
      "считать ШК с экрана можно по нажатию на 1-ю кнопку сканера"));
}

void CSymbolicsPage::Bindings(CBindings& b) {
  // The identifier mode and the three times are written only when the whole
  // page stored, and the times are checked before the check boxes. The times
  // are typed in milliseconds; a record value beyond what the page can show is
  // pulled into range on load, in the record too.
  b.CommitAfterAll();
  b.Bind(&Settings::symbology_id_mode);
  b.Bind(&Settings::redecode_timeout);
  b.Bind(&Settings::structured_append_timeout);
  b.Bind(&Settings::inter_barcode_delay);
  b.Bind(&Settings::centre_only);
  b.Bind(&Settings::structured_append);
  b.Bind(&Settings::screen_reading);
  b.Bind(&Settings::eci_transmit);
  b.Bind(&Settings::gs1_ai_brackets);
}

}  // namespace tavrik
