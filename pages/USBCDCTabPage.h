#pragma once
// The tab "USB CDC" of the host-interface page: the scanner as a virtual COM port.

#include "pages/Page.h"

namespace tavrik {

class CUSBCDCTabPage : public CPageImpl<CUSBCDCTabPage> {
 public:
  static constexpr int kTemplateId = page_id::usb_cdc_tab;

  CUSBCDCTabPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
