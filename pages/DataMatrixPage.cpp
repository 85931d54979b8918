#include "pages/DataMatrixPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

constexpr CheckRow kChecks[] = {
    {1027, u"Распознавать Data Matrix", &Settings::datamatrix_enabled},
    {1211, u"Распознавание прямоугольных сильно вытянутых DMRE", &Settings::dmre_enabled},
};

}  // namespace

CDataMatrixPage::CDataMatrixPage() : CPageImpl(kTemplateId) {}

void CDataMatrixPage::CreateControls(CPageForm& form) { form.Checks(kChecks); }

void CDataMatrixPage::Bindings(CBindings& b) { b.BindChecks(kChecks); }

}  // namespace tavrik
