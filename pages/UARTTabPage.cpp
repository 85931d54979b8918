#include "pages/UARTTabPage.h"

#include "device/ScannerInterface.h"
#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CUARTTabPage::CUARTTabPage() : CPageImpl(kTemplateId) {}

void CUARTTabPage::CreateControls(CPageForm& form) {
  // The scanner numbers its UART speeds as the serial link numbers its own.
  QStringList speeds;
  for (std::uint32_t baud : SpeedTable) speeds << QString::number(baud);
  form.Field(&Settings::uart_speed, speeds);
  form.Field(&Settings::uart_data_bits);
  form.Field(&Settings::uart_parity);
  form.Field(&Settings::uart_stop_bits);
}

void CUARTTabPage::Bindings(CBindings& b) { b.BindPlaced(); }

}  // namespace tavrik
