#include "pages/HIDTabPage.h"

#include <QCheckBox>
#include <QComboBox>

#include <algorithm>

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CHIDTabPage::CHIDTabPage() : CPageImpl(kTemplateId, QStringLiteral("HID (USB и BT)")) {}

void CHIDTabPage::CreateControls(CPageForm& form) {
  const FieldRange& poll = RangeOf("hid_poll_interval");
  const FieldRange& delay = RangeOf("hid_key_delay");
  form.NumberCombo(1162, QStringLiteral("Интервал опроса HID (мс):"), static_cast<int>(poll.min),
                   static_cast<int>(poll.max), static_cast<int>(poll.step));
  form.NumberCombo(1165, QStringLiteral("Задержка нажатий клавиш (мс):"),
                   static_cast<int>(delay.min), static_cast<int>(delay.max),
                   static_cast<int>(delay.step));
  form.Check(1166, QStringLiteral("Игнорировать CAPS LOCK"));
  form.Check(1170, QStringLiteral("Игнорировать неизвестные символы"));
  form.Check(1209, QStringLiteral("Использовать преобразование управляющих символов таблицы "
                                  "ASCII в последовательность нажатий Ctrl + X  *"));
  form.Check(1168, QStringLiteral("Использовать Alt последовательность"));
  form.Check(1169, QStringLiteral("Добавлять 0 перед кодом в Alt последовательности"));
  form.Check(1171, QStringLiteral("Не использовать Alt последовательность для символов, "
                                  "характерных для выбранного типа клавиатуры"));
  // Russia is the only layout the scanner knows: the list shows it and cannot change.
  form.Combo(1172, QStringLiteral("Тип клавиатуры:"), {QStringLiteral("Россия")})->setEnabled(false);
  form.Combo(1174, QStringLiteral("Кодовая страница ШК:"),
             {QStringLiteral("Windows 1251"), QStringLiteral("MS-DOS 866 (CP866)"),
              QStringLiteral("UTF-8")});
  form.Label(QStringLiteral("* Комбинация клавиш Ctrl+X используются для управления в ОС "
                            "Windows, для Android и iOS рекомендуется выключить"));
}

void CHIDTabPage::OnInitDialog() {
  // The four lists stand in one column, as wide as the widest.
  const int lists[] = {1162, 1165, 1172, 1174};
  int widest = 0;
  for (int id : lists) widest = std::max(widest, Control(id)->sizeHint().width());
  for (int id : lists) Control(id)->setMinimumWidth(widest);
  connect(ControlAs<QCheckBox>(1168), &QCheckBox::toggled, this,
          [this] { ApplyAltSequenceState(); });
}

void CHIDTabPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  const FieldRange& poll = RangeOf("hid_poll_interval");
  const FieldRange& delay = RangeOf("hid_key_delay");
  // A value outside a list (a poll interval of 0, a delay of 15) selects
  // nothing and stays in the record until the user picks an entry.
  b.BindCombo(1162, s.hid_poll_interval, {.offset = poll.min});
  b.BindCombo(1165, s.hid_key_delay, {.offset = delay.min, .scale = delay.step});
  b.BindCheck(1166, s.hid_ignore_caps_lock);
  b.BindCheck(1170, s.hid_ignore_unknown);
  b.BindCheck(1209, s.hid_ctrl_x);
  b.BindCheck(1168, s.hid_alt_sequence);
  b.BindCheck(1169, s.hid_alt_leading_zero);
  b.BindCheck(1171, s.hid_fast_keypad);
  b.BindCombo(1172, s.hid_keyboard_type);
  b.BindCombo(1174, s.barcode_code_page);
}

void CHIDTabPage::Load() {
  CPageImpl::Load();
  ApplyAltSequenceState();
}

void CHIDTabPage::ApplyAltSequenceState() {
  // Disabled boxes keep their state, and it is stored as it stands.
  const bool alt = ControlAs<QCheckBox>(1168)->isChecked();
  Control(1169)->setEnabled(alt);
  Control(1171)->setEnabled(alt);
}

}  // namespace tavrik
