#include "pages/SoundManagementPage.h"

namespace tavrik {

CSoundManagementPage::CSoundManagementPage() : CPageImpl(kTemplateId, QStringLiteral("Управление звуком")) {}

void CSoundManagementPage::CreateControls(CPageForm&) {}

void CSoundManagementPage::Bindings(CBindings&) {}

}  // namespace tavrik
