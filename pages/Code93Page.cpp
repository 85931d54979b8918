#include "pages/Code93Page.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CCode93Page::CCode93Page() : CPageImpl(kTemplateId) {}

void CCode93Page::CreateControls(CPageForm& form) {
  form.Check(1027, QStringLiteral("Распознавать Code 93"));
}

void CCode93Page::Bindings(CBindings& b) {
  b.BindCheck(1027, CurrentSettings().code93_enabled);
}

}  // namespace tavrik
