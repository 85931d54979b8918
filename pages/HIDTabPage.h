#pragma once
// The tab "HID (USB и BT)" of the host-interface page: how the scanner types
// as a keyboard over USB or Bluetooth.

#include "pages/Page.h"

namespace tavrik {

class CHIDTabPage : public CPageImpl<CHIDTabPage> {
 public:
  static constexpr int kTemplateId = page_id::hid_tab;

  CHIDTabPage();
  void Bindings(CBindings& b);
  void Load() override;

 protected:
  void CreateControls(CPageForm& form) override;
  void OnInitDialog() override;

 private:
  // The two Alt-sequence options mean something only with Alt sequences on.
  void ApplyAltSequenceState();
};

}  // namespace tavrik
