#include "pages/SymbolicsPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CSymbolicsPage::CSymbolicsPage() : CPageImpl(kTemplateId) {}

void CSymbolicsPage::CreateControls(CPageForm& form) {
  form.BeginGroup(QStringLiteral("Идентификатор символики"));
  form.RadioGroup(1052, QStringLiteral("Не передавать"));
  form.Radio(1053, QStringLiteral("Передавать всегда"));
  form.Radio(1054, QStringLiteral("Передавать при наличии в ШК спец. символов"));
  form.EndGroup();
  form.NumberEdit(1084, QStringLiteral("Таймаут повторного декодирования (мс):"),
                  QStringLiteral("макс. 12750 мс"));
  form.MarkGroupStart();
  form.NumberEdit(1201, QStringLiteral("Задержка между посылками штрих-кодов (мс):"),
                  QStringLiteral("макс. 5000 мс"));
  form.Check(1133, QStringLiteral("Распознавать ШК только в центре зоны сканирования"));
  form.BeginGroup(QStringLiteral("Структурированное соединение (Structured Append)"));
  form.Check(1061, QStringLiteral("Использовать"));
  form.NumberEdit(1095, QStringLiteral("Таймаут (мс):"),
                  QStringLiteral("мин. 500 мс, макс. 127500 мс"));
  form.EndGroup();
  form.Check(1134, QStringLiteral("Включить считывание с экрана *"));
  form.Check(1135, QStringLiteral("Передача номера назначения ECI"));
  form.Check(1213, QStringLiteral("Включение скобок вокруг GS1 Application Identifiers"));
  form.Label(QStringLiteral(
      "* Настройка применима только для стационарных сканеров. Не рекомендуется к "
      "использованию из-за понижения скорости распознавания печатных ШК. Альтернативно "
      "считать ШК с экрана можно по нажатию на 1-ю кнопку сканера"));
}

void CSymbolicsPage::Bindings(CBindings& b) {
  // The identifier mode and the three times are written only when the whole
  // page stored. The times are typed in milliseconds; a record value beyond
  // what the page can show is pulled into range on load, in the record too.
  b.CommitAfterAll();
  Settings& s = CurrentSettings();
  b.BindRadio(1052, s.symbology_id_mode);
  b.BindInt(1084, s.redecode_timeout, UnitsOf("redecode_timeout"));
  b.BindInt(1095, s.structured_append_timeout, UnitsOf("structured_append_timeout"));
  b.BindInt(1201, s.inter_barcode_delay, UnitsOf("inter_barcode_delay"));
  b.BindCheck(1133, s.centre_only);
  b.BindCheck(1061, s.structured_append);
  b.BindCheck(1134, s.screen_reading);
  b.BindCheck(1135, s.eci_transmit);
  b.BindCheck(1213, s.gs1_ai_brackets);
}

}  // namespace tavrik
