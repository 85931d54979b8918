#include "pages/2of5IPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

constexpr CheckRow kChecks[] = {
    {1027, u"Распознавать Interleaved 2 of 5", &Settings::i2of5_enabled},
    {1023, u"Используется контр. знак Interleaved 2 of 5", &Settings::i2of5_check_digit},
    {1024, u"Передавать контр. знак Interleaved 2 of 5", &Settings::i2of5_send_check_digit},
};

}  // namespace

C2of5IPage::C2of5IPage() : CPageImpl(kTemplateId) {}

void C2of5IPage::CreateControls(CPageForm& form) { form.Checks(kChecks); }

void C2of5IPage::Bindings(CBindings& b) { b.BindChecks(kChecks); }

}  // namespace tavrik
