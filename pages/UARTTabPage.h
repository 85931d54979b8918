#pragma once
// The tab "UART (RS232)" of the host-interface page: the line settings of the
// scanner's serial output. Each field holds the position of its entry.

#include "pages/Page.h"

namespace tavrik {

class CUARTTabPage : public CPageImpl<CUARTTabPage> {
 public:
  static constexpr int kTemplateId = page_id::uart_tab;

  CUARTTabPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
