#pragma once
// The page "Code 39": Code 39.

#include "pages/Page.h"

namespace tavrik {

class CCode39Page : public CPageImpl<CCode39Page> {
 public:
  static constexpr int kTemplateId = 211;

  CCode39Page();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
