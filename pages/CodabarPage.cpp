#include "pages/CodabarPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

constexpr CheckRow kChecks[] = {
    {1027, u"Распознавать Codabar", &Settings::codabar_enabled},
    {1139, u"Нотация ABCD для крайних символов", &Settings::codabar_abcd_notation},
    {1208, u"Передавать крайние символы", &Settings::codabar_send_start_stop},
};

}  // namespace

CCodabarPage::CCodabarPage() : CPageImpl(kTemplateId) {}

void CCodabarPage::CreateControls(CPageForm& form) { form.Checks(kChecks); }

void CCodabarPage::Bindings(CBindings& b) { b.BindChecks(kChecks); }

}  // namespace tavrik
