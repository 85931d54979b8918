#include "pages/Code93Page.h"

namespace tavrik {

CCode93Page::CCode93Page() : CPageImpl(kTemplateId, QStringLiteral("Code 93")) {}

void CCode93Page::CreateControls(CPageForm&) {}

void CCode93Page::Bindings(CBindings&) {}

}  // namespace tavrik
