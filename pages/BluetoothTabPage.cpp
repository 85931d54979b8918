#include "pages/BluetoothTabPage.h"

#include <QCheckBox>
#include <QTabWidget>

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CBLUETOOTHTabPage::CBLUETOOTHTabPage() : CPageImpl(kTemplateId) {}

void CBLUETOOTHTabPage::CreateControls(CPageForm& form) {
  form.Field(&Settings::bt_pin_pairing);
  // A second pairing flag of the image: it travels with the page but is never shown.
  form.Field(&Settings::bt_pin_pairing_hidden);
  form.Field(&Settings::bt_auto_reconnect);
  form.Field(&Settings::bt_link_beep);
  form.Field(&Settings::bt_store_offline);
  form.Field(&Settings::bt_le_ack);
  form.Field(&Settings::bt_classic_reconnect);
  form.Field(&Settings::bt_fast_keystrokes);
  form.Field(&Settings::bt_pin);
}

void CBLUETOOTHTabPage::Bindings(CBindings& b) {
  // An invalid PIN leaves the key-press count and the PIN as they were. A PIN
  // above the range (from an old file) is shown and written back as the highest one.
  b.CommitAfterAll();
  b.BindPlaced();
}

void CBLUETOOTHTabPage::OnExchangeError(int id) {
  ShowOwnTab();
  CPageImpl::OnExchangeError(id);
}

void CBLUETOOTHTabPage::OnValidateError(int id) {
  ShowOwnTab();
  CPageImpl::OnValidateError(id);
}

void CBLUETOOTHTabPage::ShowOwnTab() {
  for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
      tabs->setCurrentWidget(this);
      return;
    }
  }
}

}  // namespace tavrik
