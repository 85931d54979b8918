#pragma once
// The tab "Bluetooth" of the host-interface page: pairing, the link and the PIN.

#include "pages/Page.h"

namespace tavrik {

class CBLUETOOTHTabPage : public CPageImpl<CBLUETOOTHTabPage> {
 public:
  static constexpr int kTemplateId = page_id::bluetooth_tab;

  CBLUETOOTHTabPage();
  void Bindings(CBindings& b);

  // An invalid PIN brings this tab to the front before the edit takes the
  // focus, so that the user sees what was refused.
  void OnExchangeError(int id) override;
  void OnValidateError(int id) override;

 protected:
  void CreateControls(CPageForm& form) override;

 private:
  void ShowOwnTab();
};

}  // namespace tavrik
