#include "pages/Code128Page.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CCode128Page::CCode128Page() : CPageImpl(kTemplateId) {}

void CCode128Page::CreateControls(CPageForm& form) {
  form.Check(1027, QStringLiteral("Распознавать Code 128"));
}

void CCode128Page::Bindings(CBindings& b) {
  b.BindCheck(1027, CurrentSettings().code128_enabled);
}

}  // namespace tavrik
