#pragma once
// The page "Сообщение от верхней кнопки": the message sent when the upper button is pressed.

#include "pages/Page.h"

namespace tavrik {

class CUpButtonMessagePage : public CPageImpl<CUpButtonMessagePage> {
 public:
  static constexpr int kTemplateId = page_id::up_button;

  CUpButtonMessagePage();
  void Bindings(CBindings& b);
  void Load() override;
  bool Store() override;

 protected:
  void CreateControls(CPageForm& form) override;
};

}  // namespace tavrik
