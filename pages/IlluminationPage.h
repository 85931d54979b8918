#pragma once
// The page "Подсветка": illumination.

#include "pages/Page.h"

namespace tavrik {

class CIlluminationPage : public CPageImpl<CIlluminationPage> {
 public:
  static constexpr int kTemplateId = page_id::illumination;

  CIlluminationPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
