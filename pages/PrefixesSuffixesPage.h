#pragma once
// The page "Префиксы/Суффиксы": prefixes and suffixes around transmitted data.

#include "pages/Page.h"

namespace tavrik {

class CPrefixesSuffixesPage : public CPageImpl<CPrefixesSuffixesPage> {
 public:
  static constexpr int kTemplateId = 221;

  CPrefixesSuffixesPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
