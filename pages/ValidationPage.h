#pragma once
// The page "Детектор валюты": the currency detector.

#include "pages/Page.h"

namespace tavrik {

class CValidationPage : public CPageImpl<CValidationPage> {
 public:
  static constexpr int kTemplateId = 258;

  CValidationPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
