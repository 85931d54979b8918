#include "pages/UARTTabPage.h"

#include "device/ScannerInterface.h"
#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CUARTTabPage::CUARTTabPage() : CPageImpl(kTemplateId, QStringLiteral("UART (RS232)")) {}

void CUARTTabPage::CreateControls(CPageForm& form) {
  // The scanner numbers its UART speeds as the serial link numbers its own.
  QStringList speeds;
  for (std::uint32_t baud : SpeedTable) speeds << QString::number(baud);
  form.Combo(1152, QStringLiteral("Скорость (бод):"), speeds);
  form.Combo(1155, QStringLiteral("Размер данных (бит):"), {QStringLiteral("8"), QStringLiteral("7")});
  form.Combo(1157, QStringLiteral("Четность:"),
             {QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even")});
  form.Combo(1159, QStringLiteral("Стоп-биты:"), {QStringLiteral("1"), QStringLiteral("2")});
}

void CUARTTabPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.BindCombo(1152, s.uart_speed);
  b.BindCombo(1155, s.uart_data_bits);
  b.BindCombo(1157, s.uart_parity);
  b.BindCombo(1159, s.uart_stop_bits);
}

}  // namespace tavrik
