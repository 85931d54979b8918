#pragma once
// The page "Детектор валюты": the currency detector.

#include "pages/Page.h"

namespace tavrik {

class CValidationPage : public CPageImpl<CValidationPage> {
 public:
  static constexpr int kTemplateId = page_id::validation;

  CValidationPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
