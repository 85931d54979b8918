#include "pages/HIDTabPage.h"

#include <QCheckBox>
#include <QComboBox>

#include <algorithm>

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CHIDTabPage::CHIDTabPage() : CPageImpl(kTemplateId) {}

void CHIDTabPage::CreateControls(CPageForm& form) {
  form.Field(&Settings::hid_poll_interval);
  form.Field(&Settings::hid_key_delay);
  form.Field(&Settings::hid_ignore_caps_lock);
  form.Field(&Settings::hid_ignore_unknown);
  form.Field(&Settings::hid_ctrl_x);
  form.Field(&Settings::hid_alt_sequence);
  form.Field(&Settings::hid_alt_leading_zero);
  form.Field(&Settings::hid_fast_keypad);
  // Russia is the only layout the scanner knows: the list shows it and cannot change.
  form.Field(&Settings::hid_keyboard_type)->setEnabled(false);
  form.Field(&Settings::barcode_code_page);
  form.Label(QStringLiteral("* Комбинация клавиш Ctrl+X используются для управления в ОС "
                            "Windows, для Android и iOS рекомендуется выключить"));
}

void CHIDTabPage::OnInitDialog() {
  // The four lists stand in one column, as wide as the widest.
  QWidget* const lists[] = {FieldControl(&Settings::hid_poll_interval), FieldControl(&Settings::hid_key_delay),
                            FieldControl(&Settings::hid_keyboard_type), FieldControl(&Settings::barcode_code_page)};
  int widest = 0;
  for (QWidget* list : lists) widest = std::max(widest, list->sizeHint().width());
  for (QWidget* list : lists) list->setMinimumWidth(widest);
  connect(FieldControlAs<QCheckBox>(&Settings::hid_alt_sequence), &QCheckBox::toggled, this,
          [this] { ApplyAltSequenceState(); });
}

void CHIDTabPage::Bindings(CBindings& b) {
  // A value outside a list (a poll interval of 0, a delay of 15) selects
  // nothing and stays in the record until the user picks an entry.
  b.BindPlaced();
}

void CHIDTabPage::Load() {
  CPageImpl::Load();
  ApplyAltSequenceState();
}

void CHIDTabPage::ApplyAltSequenceState() {
  // Disabled boxes keep their state, and it is stored as it stands.
  const bool alt = FieldControlAs<QCheckBox>(&Settings::hid_alt_sequence)->isChecked();
  FieldControl(&Settings::hid_alt_leading_zero)->setEnabled(alt);
  FieldControl(&Settings::hid_fast_keypad)->setEnabled(alt);
}

}  // namespace tavrik
