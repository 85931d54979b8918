#include "pages/Pdf417Page.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CPdf417Page::CPdf417Page() : CPageImpl(kTemplateId) {}

void CPdf417Page::CreateControls(CPageForm& form) {
  form.Check(1115, QStringLiteral("Распознавать PDF417"));
  form.Check(1114, QStringLiteral("Распознавать MicroPDF417"));
  form.Check(1116, QStringLiteral("Упрощённая проверка ошибок в PDF417"));
}

void CPdf417Page::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.BindCheck(1115, s.pdf417_enabled);
  b.BindCheck(1114, s.micro_pdf417_enabled);
  b.BindCheck(1116, s.pdf417_simplified_check);
}

}  // namespace tavrik
