#pragma once
// The page "Code 128": Code 128.

#include "pages/Page.h"

namespace tavrik {

class CCode128Page : public CPageImpl<CCode128Page> {
 public:
  static constexpr int kTemplateId = 212;

  CCode128Page();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
