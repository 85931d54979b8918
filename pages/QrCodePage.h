#pragma once
// The page "QR Code": QR Code and Micro QR Code.

#include "pages/Page.h"

namespace tavrik {

class CQrCodePage : public CPageImpl<CQrCodePage> {
 public:
  static constexpr int kTemplateId = 239;

  CQrCodePage();
  void Bindings(CBindings& b);

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
