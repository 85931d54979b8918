#include "pages/DataBarPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

constexpr CheckRow kChecks[] = {
    {1132, u"Распознавать GS1 DataBar 14", &Settings::databar14_enabled},
    {1212, u"Распознавание низких GS1 DataBar", &Settings::databar_low_enabled},
};

}  // namespace

CDataBarPage::CDataBarPage() : CPageImpl(kTemplateId) {}

void CDataBarPage::CreateControls(CPageForm& form) { form.Checks(kChecks); }

void CDataBarPage::Bindings(CBindings& b) { b.BindChecks(kChecks); }

}  // namespace tavrik
