#include "pages/AztecPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

constexpr CheckRow kChecks[] = {
    {1027, u"Распознавать Aztec Code", &Settings::aztec_enabled},
    {1083, u"Распознавать Aztec Runes", &Settings::aztec_runes_enabled},
};

}  // namespace

CAztecPage::CAztecPage() : CPageImpl(kTemplateId) {}

void CAztecPage::CreateControls(CPageForm& form) { form.Checks(kChecks); }

void CAztecPage::Bindings(CBindings& b) { b.BindChecks(kChecks); }

}  // namespace tavrik
