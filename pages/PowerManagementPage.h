#pragma once
// The page "Управление питанием": power saving.

#include "pages/Page.h"

namespace tavrik {

class CPowerManagementPage : public CPageImpl<CPowerManagementPage> {
 public:
  static constexpr int kTemplateId = page_id::power;

  CPowerManagementPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
