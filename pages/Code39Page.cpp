#include "pages/Code39Page.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CCode39Page::CCode39Page() : CPageImpl(kTemplateId) {}

void CCode39Page::CreateControls(CPageForm& form) {
  form.Check(1027, QStringLiteral("Распознавать Code 39"));
  form.Check(1023, QStringLiteral("Используется контр. знак Code 39"));
  form.Check(1024, QStringLiteral("Передавать контр. знак Code 39"));
}

void CCode39Page::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.BindCheck(1027, s.code39_enabled);
  b.BindCheck(1023, s.code39_check_digit);
  b.BindCheck(1024, s.code39_send_check_digit);
}

}  // namespace tavrik
