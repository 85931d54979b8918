#include "pages/Pdf417Page.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

constexpr CheckRow kChecks[] = {
    {1115, u"Распознавать PDF417", &Settings::pdf417_enabled},
    {1114, u"Распознавать MicroPDF417", &Settings::micro_pdf417_enabled},
    {1116, u"Упрощённая проверка ошибок в PDF417", &Settings::pdf417_simplified_check},
};

}  // namespace

CPdf417Page::CPdf417Page() : CPageImpl(kTemplateId) {}

void CPdf417Page::CreateControls(CPageForm& form) { form.Checks(kChecks); }

void CPdf417Page::Bindings(CBindings& b) { b.BindChecks(kChecks); }

}  // namespace tavrik
