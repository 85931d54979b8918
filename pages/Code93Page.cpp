#include "pages/Code93Page.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

constexpr CheckRow kChecks[] = {
    {1027, u"Распознавать Code 93", &Settings::code93_enabled},
};

}  // namespace

CCode93Page::CCode93Page() : CPageImpl(kTemplateId) {}

void CCode93Page::CreateControls(CPageForm& form) { form.Checks(kChecks); }

void CCode93Page::Bindings(CBindings& b) { b.BindChecks(kChecks); }

}  // namespace tavrik
