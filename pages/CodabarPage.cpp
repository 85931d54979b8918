#include "pages/CodabarPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CCodabarPage::CCodabarPage() : CPageImpl(kTemplateId) {}

void CCodabarPage::CreateControls(CPageForm& form) {
  form.Check(1027, QStringLiteral("Распознавать Codabar"));
  form.Check(1139, QStringLiteral("Нотация ABCD для крайних символов"));
  form.Check(1208, QStringLiteral("Передавать крайние символы"));
}

void CCodabarPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.BindCheck(1027, s.codabar_enabled);
  b.BindCheck(1139, s.codabar_abcd_notation);
  b.BindCheck(1208, s.codabar_send_start_stop);
}

}  // namespace tavrik
