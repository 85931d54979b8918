#include "pages/2of5IPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

C2of5IPage::C2of5IPage() : CPageImpl(kTemplateId) {}

void C2of5IPage::CreateControls(CPageForm& form) {
  form.Check(1027, QStringLiteral("Распознавать Interleaved 2 of 5"));
  form.Check(1023, QStringLiteral("Используется контр. знак Interleaved 2 of 5"));
  form.Check(1024, QStringLiteral("Передавать контр. знак Interleaved 2 of 5"));
}

void C2of5IPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.BindCheck(1027, s.i2of5_enabled);
  b.BindCheck(1023, s.i2of5_check_digit);
  b.BindCheck(1024, s.i2of5_send_check_digit);
}

}  // namespace tavrik
