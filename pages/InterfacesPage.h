#pragma once
// The page "Интерфейс с ПК": the host interface for barcode data and the one
// for currency-detector data, and on four tabs the parameters of each kind of
// link. A wrong interface cuts the user off from the scanner, so the page
// never writes an interface that the model does not offer, nor a pair of
// interfaces that the scanner does not accept.

#include <cstdint>
#include <optional>
#include <span>

#include "pages/BluetoothTabPage.h"
#include "pages/HIDTabPage.h"
#include "pages/Page.h"
#include "pages/UARTTabPage.h"
#include "pages/USBCDCTabPage.h"

class QComboBox;
class QTabWidget;

namespace tavrik {

// The interfaces the barcode list offers for a model, in list order: all of
// them for a model with Bluetooth (or none known yet), the wired ones otherwise.
std::span<const std::uint8_t> BarcodeInterfaces(std::uint8_t model);

// What the currency list offers beside a barcode interface, and the entry
// that stands for a currency interface there. UART barcode data forces UART
// currency data; USB barcode data allows UART or USB (a Bluetooth currency
// interface becomes "USB HID"); Bluetooth barcode data allows anything but
// UART (which becomes "BT HID"). A barcode code that names no interface
// offers nothing; a currency code that names none selects nothing beside USB
// or Bluetooth barcode data.
struct CurrencyChoice {
  std::span<const std::uint8_t> offered;
  std::optional<std::uint8_t> selected;
};
CurrencyChoice CurrencyChoiceFor(std::uint8_t barcode_code, std::uint8_t currency_code);

// The interface code whose name a list shows; nothing for any other text.
std::optional<std::uint8_t> InterfaceCodeOf(const QString& shown);

class CInterfacesPage : public CPageImpl<CInterfacesPage> {
 public:
  static constexpr int kTemplateId = page_id::interfaces;

  CInterfacesPage();
  void Bindings(CBindings& b);
  void Load() override;
  // False when a tab refuses a value (an invalid PIN): that tab is in front
  // and its control has the focus.
  bool Store() override;

  CHIDTabPage& HidTab() { return hid_; }
  CUSBCDCTabPage& UsbCdcTab() { return usb_cdc_; }
  CUARTTabPage& UartTab() { return uart_; }
  CBLUETOOTHTabPage& BluetoothTab() { return bluetooth_; }

 protected:
  void CreateControls(CPageForm& form) override;
  void OnInitDialog() override;

 private:
  // Refills the currency list for the barcode interface shown, then writes
  // both shown interfaces into the record.
  void RebuildCurrencyCombo();
  // Writes the interface each list shows; a list without a selection leaves
  // its field as it is.
  void StoreShownInterfaces();

  CHIDTabPage hid_;
  CUSBCDCTabPage usb_cdc_;
  CUARTTabPage uart_;
  CBLUETOOTHTabPage bluetooth_;
  QComboBox* barcode_combo_ = nullptr;
  QComboBox* currency_combo_ = nullptr;
};

}  // namespace tavrik
