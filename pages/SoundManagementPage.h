#pragma once
// The page "Управление звуком": sound.

#include "pages/Page.h"

namespace tavrik {

class CSoundManagementPage : public CPageImpl<CSoundManagementPage> {
 public:
  static constexpr int kTemplateId = page_id::sound;

  CSoundManagementPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
