#pragma once
// The page "Прицельные светодиоды": the aiming LEDs.

#include "pages/Page.h"

namespace tavrik {

class CAimLedsPage : public CPageImpl<CAimLedsPage> {
 public:
  static constexpr int kTemplateId = page_id::aim_leds;

  CAimLedsPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
