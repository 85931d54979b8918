#pragma once
// A parent dialog for page tests: the page under test is the active page.

#include "pages/Page.h"

namespace tavrik {

class NoParent final : public CParentDlg {
 public:
  CPageT& GetActivePage() override { return *page; }
  void StoreConnectPage() override {}
  CPageT* page = nullptr;
};

}  // namespace tavrik
