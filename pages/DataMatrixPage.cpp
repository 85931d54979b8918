#include "pages/DataMatrixPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CDataMatrixPage::CDataMatrixPage() : CPageImpl(kTemplateId) {}

void CDataMatrixPage::CreateControls(CPageForm& form) {
  form.Check(1027, QStringLiteral("Распознавать Data Matrix"));
  form.Check(1211, QStringLiteral("Распознавание прямоугольных сильно вытянутых DMRE"));
}

void CDataMatrixPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.BindCheck(1027, s.datamatrix_enabled);
  b.BindCheck(1211, s.dmre_enabled);
}

}  // namespace tavrik
