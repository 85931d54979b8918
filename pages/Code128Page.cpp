#include "pages/Code128Page.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

constexpr CheckRow kChecks[] = {
    {1027, u"Распознавать Code 128", &Settings::code128_enabled},
};

}  // namespace

CCode128Page::CCode128Page() : CPageImpl(kTemplateId) {}

void CCode128Page::CreateControls(CPageForm& form) { form.Checks(kChecks); }

void CCode128Page::Bindings(CBindings& b) { b.BindChecks(kChecks); }

}  // namespace tavrik
