#include "pages/BluetoothTabPage.h"

#include <QCheckBox>
#include <QTabWidget>

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

namespace {
// The shown and the hidden pairing box carry one caption.
constexpr char16_t kPinPairing[] = u"BT-сопряжение в режиме ввода PIN-кода сканером";
}  // namespace

CBLUETOOTHTabPage::CBLUETOOTHTabPage() : CPageImpl(kTemplateId, QStringLiteral("Bluetooth")) {}

void CBLUETOOTHTabPage::CreateControls(CPageForm& form) {
  const FieldRange& fast = RangeOf("bt_fast_keystrokes");
  form.Check(1202, QString::fromUtf16(kPinPairing));
  // A second pairing flag of the image: it travels with the page but is never shown.
  form.Check(1208, QString::fromUtf16(kPinPairing))->hide();
  form.Check(1203, QStringLiteral("Автоматическое восстановление Bluetooth-соединения"));
  form.Check(1204, QStringLiteral("Звуковой сигнал при включении / потере связи по Bluetooth"));
  form.Check(1063, QStringLiteral(
                       "Хранить штрих-коды, отсканированные при отсутствии связи по Bluetooth"));
  form.Check(1205, QStringLiteral("Ожидать подтверждений об успешной доставке данных, "
                                  "отправленных по Bluetooth LE"));
  form.Check(1206, QStringLiteral("Подключаться к ранее подключённому устройству с выключенным "
                                  "обнаружением в режиме Bluetooth Classic HID"));
  form.NumberCombo(1176,
                   QStringLiteral("Количество нажатий клавиш без задержки \n"
                                  "(только для Bluetooth HID)"),
                   static_cast<int>(fast.min), static_cast<int>(fast.max),
                   static_cast<int>(fast.step));
  form.NumberEdit(1207, QStringLiteral("PIN-код"));
}

void CBLUETOOTHTabPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  // An invalid PIN leaves the key-press count and the PIN as they were.
  b.CommitAfterAll();
  b.BindCheck(1202, s.bt_pin_pairing);
  b.BindCheck(1208, s.bt_pin_pairing_hidden);
  b.BindCheck(1203, s.bt_auto_reconnect);
  b.BindCheck(1204, s.bt_link_beep);
  b.BindCheck(1063, s.bt_store_offline);
  b.BindCheck(1205, s.bt_le_ack);
  b.BindCheck(1206, s.bt_classic_reconnect);
  b.BindCombo(1176, s.bt_fast_keystrokes, {.offset = RangeOf("bt_fast_keystrokes").min});
  // A PIN above the range (from an old file) is shown and written back as the highest one.
  b.BindInt(1207, s.bt_pin, UnitsOf("bt_pin"));
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
