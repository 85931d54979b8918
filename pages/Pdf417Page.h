#pragma once
// The page "PDF417": PDF417 and MicroPDF417.

#include "pages/Page.h"

namespace tavrik {

class CPdf417Page : public CPageImpl<CPdf417Page> {
 public:
  static constexpr int kTemplateId = 232;

  CPdf417Page();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
