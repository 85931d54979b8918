#pragma once
// The page "Interleaved 2 of 5": Interleaved 2 of 5.

#include "pages/Page.h"

namespace tavrik {

class C2of5IPage : public CPageImpl<C2of5IPage> {
 public:
  static constexpr int kTemplateId = 209;

  C2of5IPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
