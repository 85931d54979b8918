#pragma once
// The page "GS1 DataBar": GS1 DataBar.

#include "pages/Page.h"

namespace tavrik {

class CDataBarPage : public CPageImpl<CDataBarPage> {
 public:
  static constexpr int kTemplateId = 243;

  CDataBarPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
