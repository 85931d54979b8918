#pragma once
// A page that is nothing but check boxes of the settings catalogue, one under
// the other: an entry of the page table rather than a class of its own.

#include <span>
#include <vector>

#include "pages/Page.h"

namespace tavrik {

class CFieldListPage : public CPageImpl<CFieldListPage> {
 public:
  CFieldListPage(int template_id, std::span<bool Settings::* const> fields);
  void Bindings(CBindings& b) { b.BindPlaced(); }

 protected:
  void CreateControls(CPageForm& form) override;

 private:
  std::vector<bool Settings::*> fields_;
};

}  // namespace tavrik
