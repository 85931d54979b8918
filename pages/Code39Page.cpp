#include "pages/Code39Page.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

constexpr CheckRow kChecks[] = {
    {1027, u"Распознавать Code 39", &Settings::code39_enabled},
    {1023, u"Используется контр. знак Code 39", &Settings::code39_check_digit},
    {1024, u"Передавать контр. знак Code 39", &Settings::code39_send_check_digit},
};

}  // namespace

CCode39Page::CCode39Page() : CPageImpl(kTemplateId) {}

void CCode39Page::CreateControls(CPageForm& form) { form.Checks(kChecks); }

void CCode39Page::Bindings(CBindings& b) { b.BindChecks(kChecks); }

}  // namespace tavrik
