#include "pages/UpButtonMessagePage.h"

#include <QLineEdit>

#include "core/Dialogs.h"
#include "pages/PageForm.h"
#include "pages/PrefixesSuffixesPage.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CUpButtonMessagePage::CUpButtonMessagePage() : CPageImpl(kTemplateId) {}

void CUpButtonMessagePage::CreateControls(CPageForm& form) {
  // The edit has no label of its own: the page's caption names it.
  form.Field(&Settings::up_button_message)->setAccessibleName(Caption());
  AddSequenceNotes(
      form,
      QStringLiteral("Примечание №1.\nСообщение от верхней кнопки задается в виде набора байт в "
                     "шестнадцатеричном или десятичном формате."),
      QStringLiteral("При наличии скан-кодов клавиш Ctrl, Alt, Shift и GUI (Win) эти клавиши "
                     "удерживаются нажатыми до окончания передачи всех элементов сообщения. Это "
                     "позволяет задать в качестве сообщения, например, такое сочетание клавиш "
                     "как Сtrl + F7."),
      QStringLiteral("Примечание №3.\nМаксимальная длина сообщения: 10 символов"));
}

void CUpButtonMessagePage::Bindings(CBindings&) {}

void CUpButtonMessagePage::Load() {
  CPageImpl::Load();
  ShowSequence(*this, SettingOf(&Settings::up_button_message).control_id, CurrentSettings().up_button_message);
}

bool CUpButtonMessagePage::Store() {
  if (!CPageImpl::Store()) return false;
  if (ReadSequence(*this, SettingOf(&Settings::up_button_message).control_id, CurrentSettings().up_button_message))
    return true;
  ShowFailure("Неверные значения символов в поле.");
  return false;
}

}  // namespace tavrik
