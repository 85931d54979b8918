#pragma once
// The page "Интерфейс с ПК": the host interfaces for barcode and currency-detector data and their parameters.

#include "pages/Page.h"

namespace tavrik {

class CInterfacesPage : public CPageImpl<CInterfacesPage> {
 public:
  static constexpr int kTemplateId = 248;

  CInterfacesPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
