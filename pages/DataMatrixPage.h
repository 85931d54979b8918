#pragma once
// The page "Data Matrix": Data Matrix.

#include "pages/Page.h"

namespace tavrik {

class CDataMatrixPage : public CPageImpl<CDataMatrixPage> {
 public:
  static constexpr int kTemplateId = 236;

  CDataMatrixPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
