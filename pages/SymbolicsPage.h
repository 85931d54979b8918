#pragma once
// The page "Декодеры штрих-кодов": decoder options shared by every symbology.

#include "pages/Page.h"

namespace tavrik {

class CSymbolicsPage : public CPageImpl<CSymbolicsPage> {
 public:
  static constexpr int kTemplateId = page_id::symbolics;

  CSymbolicsPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
