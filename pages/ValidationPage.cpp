#include "pages/ValidationPage.h"

#include <QLineEdit>

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CValidationPage::CValidationPage() : CPageImpl(kTemplateId) {}

void CValidationPage::CreateControls(CPageForm& form) {
  const SettingRow& start = SettingOf(&Settings::currency_start_mode);
  form.BeginGroup(QString::fromUtf8(start.caption));
  form.Radios(start, 0, 2);
  // The exit time counts in the two modes above it; the start group runs on
  // past it, so the buttons below are positions 2 and 3.
  const QString after_check = QStringLiteral("(с момента последней проверки купюры)");
  form.Field(&Settings::currency_exit_timeout)->setAccessibleDescription(after_check);
  form.Label(after_check);
  form.Radios(start, 2, start.choices.size());
  form.EndGroup();
  form.Field(&Settings::currency_denominations);
  form.Field(&Settings::currency_serials);
}

void CValidationPage::Bindings(CBindings& b) {
  // A refused exit time stores none of the page's values: the groups are
  // written after the whole list, and the exit time is the last binding.
  b.CommitAfterAll();
  b.Bind(&Settings::currency_start_mode);
  b.Bind(&Settings::currency_denominations);
  b.Bind(&Settings::currency_serials);
  b.Bind(&Settings::currency_exit_timeout);
}

}  // namespace tavrik
