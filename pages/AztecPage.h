#pragma once
// The page "Aztec Code": Aztec Code.

#include "pages/Page.h"

namespace tavrik {

class CAztecPage : public CPageImpl<CAztecPage> {
 public:
  static constexpr int kTemplateId = 222;

  CAztecPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
