#include "pages/SoundManagementPage.h"

namespace tavrik {

CSoundManagementPage::CSoundManagementPage() : CPageImpl(kTemplateId) {}

void CSoundManagementPage::CreateControls(CPageForm&) {}

void CSoundManagementPage::Bindings(CBindings&) {}

}  // namespace tavrik
