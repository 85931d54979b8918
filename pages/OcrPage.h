#pragma once
// The page "OCR": text recognition (OCR).

#include "pages/Page.h"

namespace tavrik {

class COcrPage : public CPageImpl<COcrPage> {
 public:
  static constexpr int kTemplateId = 240;

  COcrPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
