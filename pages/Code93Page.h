#pragma once
// The page "Code 93": Code 93.

#include "pages/Page.h"

namespace tavrik {

class CCode93Page : public CPageImpl<CCode93Page> {
 public:
  static constexpr int kTemplateId = 242;

  CCode93Page();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
