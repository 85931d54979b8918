#pragma once
// The page "Подключение": connection parameters: port, speed and time-out; the connection check and the device search.

#include "pages/Page.h"

namespace tavrik {

class CConnectPage : public CPageImpl<CConnectPage> {
 public:
  static constexpr int kTemplateId = 217;

  CConnectPage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
