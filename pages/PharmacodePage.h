#pragma once
// The page "Pharmacode": Pharmacode.

#include "pages/Page.h"

namespace tavrik {

class CPharmacodePage : public CPageImpl<CPharmacodePage> {
 public:
  static constexpr int kTemplateId = page_id::pharmacode;

  CPharmacodePage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
