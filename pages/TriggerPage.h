#pragma once
// The page "Запуск сканирования": how a scan starts.

#include "pages/Page.h"

namespace tavrik {

class CTriggerPage : public CPageImpl<CTriggerPage> {
 public:
  static constexpr int kTemplateId = page_id::trigger;

  CTriggerPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
