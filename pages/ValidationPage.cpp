#include "pages/ValidationPage.h"

#include <QLineEdit>

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CValidationPage::CValidationPage() : CPageImpl(kTemplateId) {}

void CValidationPage::CreateControls(CPageForm& form) {
  form.BeginGroup(QStringLiteral("Запуск режима детектора валюты"));
  form.RadioGroup(1180, QStringLiteral("Автоматически"));
  form.Radio(1181, QStringLiteral("По двойному нажатию на курок"));
  // The exit time counts in the two modes above it; the start group runs on
  // past it, so the buttons below are positions 2 and 3.
  const QString after_check = QStringLiteral("(с момента последней проверки купюры)");
  QLineEdit* exit_time = form.NumberEdit(
      1183, QStringLiteral("Время выхода из режима детектора валюты (сек):"),
      QStringLiteral("макс. 255 сек"));
  exit_time->setAccessibleDescription(after_check);
  form.Label(after_check);
  form.Radio(1192, QStringLiteral("Только по нажатию на верхнюю кнопку"));
  form.Radio(1193, QStringLiteral("Только по команде по интерфейсу"));
  form.EndGroup();

  form.BeginGroup(QStringLiteral("Номиналы банкнот"));
  form.RadioGroup(1186, QStringLiteral("Не передавать"));
  form.Radio(1185, QStringLiteral("Передавать"));
  form.Radio(1187, QStringLiteral("Передавать только если считался серийный номер"));
  form.EndGroup();

  form.BeginGroup(QStringLiteral("Серийные номера банкнот"));
  form.RadioGroup(1190, QStringLiteral("Не передавать"));
  form.Radio(1189, QStringLiteral("Передавать"));
  form.Radio(1191, QStringLiteral("Передавать без повторов"));
  form.EndGroup();
}

void CValidationPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  // A refused exit time stores none of the page's values: the groups are
  // written after the whole list, and the exit time is the last binding.
  b.CommitAfterAll();
  b.BindRadio(1180, s.currency_start_mode);
  b.BindRadio(1186, s.currency_denominations);
  b.BindRadio(1190, s.currency_serials);
  const FieldRange& exit_time = RangeOf("currency_exit_timeout");
  b.BindInt(1183, s.currency_exit_timeout, exit_time.min, exit_time.max);
}

}  // namespace tavrik
