#pragma once
// The page "Codabar": Codabar.

#include "pages/Page.h"

namespace tavrik {

class CCodabarPage : public CPageImpl<CCodabarPage> {
 public:
  static constexpr int kTemplateId = 244;

  CCodabarPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
