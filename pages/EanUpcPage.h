#pragma once
// The page "UPC/EAN": UPC and EAN symbologies.

#include "pages/Page.h"

namespace tavrik {

class CEanUpcPage : public CPageImpl<CEanUpcPage> {
 public:
  static constexpr int kTemplateId = page_id::ean_upc;

  CEanUpcPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
